// The SDL2 driver's tables: a window with events and presentation, an audio
// device, and the image codec (which needs no SDL subsystem started, so
// headless runs use it too).
#pragma once

#include "platform/driver.h"

namespace platform::sdl {

extern const VideoDriver kVideoDriver;
extern const AudioDriver kAudioDriver;
extern const ImageCodec kImageCodec;

}  // namespace platform::sdl
