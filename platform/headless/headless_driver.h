// The headless driver: no window, no system events, no sound device. Core
// then runs the virtual clock (1/60 s per presented frame), steps the mixer
// with it, and takes input only from scripts, so runs repeat exactly. It
// starts no SDL subsystem at all.
#pragma once

#include "platform/driver.h"

namespace platform::headless {

extern const VideoDriver kVideoDriver;

}  // namespace platform::headless
