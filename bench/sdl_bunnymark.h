// SDL2's own software renderer drawing a bunnymark, so benchmarks can set our
// sprite batch beside it in one run without including SDL themselves.
#pragma once

#include <cstdint>

namespace platform {

class SdlSoftwareBunnymark {
  public:
    // A width x height ARGB target and one texture of texW x texH ARGB texels
    // (straight alpha), drawn with alpha blending.
    SdlSoftwareBunnymark(int width, int height, const std::uint32_t* texels, int texW, int texH);
    ~SdlSoftwareBunnymark();
    SdlSoftwareBunnymark(const SdlSoftwareBunnymark&) = delete;
    SdlSoftwareBunnymark& operator=(const SdlSoftwareBunnymark&) = delete;

    bool Ok() const { return impl_ != nullptr; }
    // Clears to opaque black, draws the texture at each (x, y), and finishes
    // the frame.
    void Frame(const float* xs, const float* ys, int count);
    // The target's pixel at (x, y), for checking that drawing happened.
    std::uint32_t PixelAt(int x, int y) const;

  private:
    struct Impl;
    Impl* impl_ = nullptr;
};

}  // namespace platform
