// Run-mode set-up of the platform layer and the hooks through which the
// program observes a run (frame counting, screenshots, dumps, scripted input).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

struct Config {
    bool headless = false;
    std::int64_t clockStart = 1700000000;
};

// Brings up the chosen back ends: SDL events always, SDL video only when
// windowed. Returns false with `error` set when a windowed run has no
// display to open.
bool Init(const Config& config, std::string* error);
void Shutdown();
bool IsHeadless();

// Called after every presented frame with the frame number (1, 2, ...) and
// the 1024 x 768 ARGB image that was presented (row-major, no padding).
using PresentListener = std::function<void(std::int64_t frame, const std::uint32_t* pixels,
                                           int width, int height)>;
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
