// The sound subsystem's chief header: the sound device, static and streaming
// sounds, WAVE files, and the trace used for every failed platform call.
#pragma once

#include "diag/trace.h"
#include "platform/dsound.h"
#include "sound/riff_wave.h"

// Traces a failed platform call of the sound code (no message box) and
// yields the code.
#define DSUTIL_TRACE(label, hr) TraceError(__FILE__, __LINE__, (hr), (label), false)
