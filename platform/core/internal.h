// Private glue between core's own files. Game code never includes this header.
#pragma once

#include <cstdint>

#include "platform/core/types.h"
#include "platform/driver.h"

namespace platform {
class PresentedImage;
}

namespace platform::detail {

// The installed video driver, or null.
inline const VideoDriver* Video() { return InstalledDrivers().video; }

// A non-empty rectangle lying inside a w x h surface: the only kind a copy
// between surfaces accepts.
inline bool RectInside(const RECT& r, LONG w, LONG h) {
    return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h && r.left < r.right &&
           r.top < r.bottom;
}

// The driver's native window behind a window; null headless or once destroyed.
void* NativeWindowOf(HWND window);

// Shows a presented frame in its window through the video driver (which
// draws it); nothing headless.
void ShowFrame(HWND window, const PresentedImage& image);

// The run asked for every frame to be drawn (Config::drawEveryFrame).
bool DrawEveryFrameAsked();

// Whether debug output is on: VELMOR_TRACE=1 (another value than 0 or 1 is
// told once, and is off).
bool TraceEnabled();

// Writes the lines of load failures not yet told (debug.h's
// ReportLoadFailure): at each loop pass, before a message box, at shutdown.
void TellLoadFailures();

// A frame was presented: presses that its polls showed are no longer latched.
void EndInputFrame();

// Shutdown: the driver's native windows of every thread go; the windows stay
// (destroyed) until the context goes.
void DropNativeWindows();

// Closes the audio driver's device, if open: its thread no longer mixes.
void StopAudioOutput();

}  // namespace platform::detail
