/// @file
/// The trace of the sound code's failed platform calls.
#pragma once

#include "diag/trace.h"

/// Traces a failed platform call of the sound code (no message box) and
/// yields the code.
#define DSUTIL_TRACE(label, hr) TraceError(__FILE__, __LINE__, (hr), (label), false)
