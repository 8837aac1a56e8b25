// Run-mode set-up of the platform layer and the hooks through which the
// program observes a run (frame counting, screenshots, dumps, scripted input).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

class IDirect3DSurface9;

namespace platform {

struct Config {
    std::int64_t clockStart = 1700000000;
    // Headless, draw every presented frame, not only those whose pixels are
    // asked for (the pictures are the same; for comparing the two).
    bool drawEveryFrame = false;
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

// The image a frame presented. Its pixels may not be drawn yet: asking for
// them draws them, so a headless run draws only the frames someone looks at.
class PresentedImage {
  public:
    PresentedImage() = default;  // none: no pixels, 0 x 0
    explicit PresentedImage(const IDirect3DSurface9* surface) : surface_(surface) {}
    int Width() const;
    int Height() const;
    // ARGB, row-major, no padding; null when there is no image.
    const std::uint32_t* Pixels() const;

  private:
    const IDirect3DSurface9* surface_ = nullptr;
};

// Called after every presented frame with the frame number (1, 2, ...) and
// the 1024 x 768 image that was presented (valid during the call).
using PresentListener = std::function<void(std::int64_t frame, const PresentedImage& image)>;
int AddPresentListener(PresentListener listener);
void RemovePresentListener(int id);
void NotifyPresented(const PresentedImage& image);

// Called at the start of every loop pass (the first PeekMessageA that finds
// the pass's frame not yet begun) with the number of the frame that pass will
// present. Scripted input is applied here.
using PassListener = std::function<void(std::int64_t frame)>;
int AddPassListener(PassListener listener);
void RemovePassListener(int id);
void NotifyPassStart();

}  // namespace platform
