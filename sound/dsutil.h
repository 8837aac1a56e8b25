/// @file
/// What the sound code shares: WAVE files and the trace of every failed
/// platform call.
#pragma once

#include "platform/core/dsound.h"
#include "sound/riff_wave.h"
#include "sound/sound_trace.h"
