// The sound subsystem's chief header: the sound device, static and streaming
// sounds, WAVE files, and the trace used for every failed platform call.
#pragma once

#include "diag/trace.h"
#include "platform/core/dsound.h"
#include "sound/riff_wave.h"

// Traces a failed platform call of the sound code (no message box) and
// yields the code.
#define DSUTIL_TRACE(label, hr) TraceError(__FILE__, __LINE__, (hr), (label), false)

// Fills dest[filled, size) from the wave, rewinding to its start as often as
// needed: the looping fill of static and streaming buffers. An empty wave
// leaves the rest silent instead of looping forever. Failures are traced.
HRESULT ReadWaveRepeating(CRiffWave* wave, BYTE* dest, DWORD filled, DWORD size, BYTE silence);
