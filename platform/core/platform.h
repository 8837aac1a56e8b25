// Run-mode set-up of the platform layer and the hooks through which the
// program observes a run (frame counting, screenshots, dumps, scripted input).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

struct Config {
    std::int64_t clockStart = 1700000000;
};

// Brings up the installed drivers (platform/driver.h). A video driver that
// is not real-time (headless) gets the virtual clock starting at
// `clockStart`; otherwise the wall clock runs. Returns false with `error`
// set when the video driver cannot start (a windowed run with no display).
bool Init(const Config& config, std::string* error);
void Shutdown();
// True unless a real-time video driver is installed: no windows are shown,
// message boxes are lines on standard error, sound follows the clock.
bool IsHeadless();

// Called after every presented frame with the frame number (1, 2, ...) and
// the 1024 x 768 ARGB image that was presented (row-major, no padding).
using PresentListener =
    std::function<void(std::int64_t frame, const std::uint32_t* pixels, int width, int height)>;
int AddPresentListener(PresentListener listener);
void RemovePresentListener(int id);
void NotifyPresented(const std::uint32_t* pixels, int width, int height);

// Called at the start of every loop pass (the first PeekMessageA that finds
// the pass's frame not yet begun) with the number of the frame that pass will
// present. Scripted input is applied here.
using PassListener = std::function<void(std::int64_t frame)>;
int AddPassListener(PassListener listener);
void RemovePassListener(int id);
void NotifyPassStart();

}  // namespace platform
