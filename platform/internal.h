// Private glue between the platform's core and its back ends. Game code never
// includes this header.
#pragma once

#include <cstdint>

#include "platform/window.h"

namespace platform::detail {

// Whether windows are real (a display is open); false headless.
bool NativeVideoUp();
// Native window of the windowed back end; null when headless.
void* CreateNativeWindow(const char* title, int width, int height);
void ShowNativeWindow(void* native);
void DestroyNativeWindow(void* native);
void* NativeWindowOf(HWND window);

// Takes in pending system events (window close, keyboard, mouse, focus).
void PumpSystemEvents();

// Shows a finished frame in the window (scaled) and paces to the display.
void ShowFrame(HWND window, const std::uint32_t* pixels, int width, int height);

// Shows a modal message box; false when no display can show one.
bool ShowNativeMessageBox(HWND owner, const char* text, const char* caption);

}  // namespace platform::detail
