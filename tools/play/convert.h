// velmor-play's own format conversion: the engine's buffers hold 8- and
// 16-bit PCM only, so other PCM WAVE files (24- and 32-bit integer, 32-bit
// float, and their extensible forms) are turned into a 16-bit copy first.
#pragma once

#include <string>

#include "platform/core/dsound.h"

// What the tool can do with a file's format.
enum class PcmPlan { kDirect, kConvert, kRefuse };

// kDirect: the engine plays it as it is; kConvert: ConvertTo16Bit makes a
// playable copy; kRefuse: `why` says what is wrong in words for the user.
PcmPlan PlanFor(const WAVEFORMATEX& format, std::string* why);

// Writes the samples of the WAVE file `in` as 16-bit PCM of the same rate and
// channels to `out` (a temporary file). False with `why` set on failure, and
// false as soon as `stopped` says so.
bool ConvertTo16Bit(const std::string& in, const std::string& out, std::string* why,
                    bool (*stopped)());
