// The hello example's content generator: draws the one picture the game
// shows, a smiling ball, and writes it as a bitmap into the folder named on
// the command line. The build runs it before the game is built, so the
// repository holds no image at all.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/core/png.h"  // platform::SaveBmp

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CONTENT_FOLDER\n", argv[0]);
        return 2;
    }
    constexpr int kSize = 64;
    // Pixels are 0xAARRGGBB, row by row from the top left. Opaque magenta is
    // the colour key: a sprite leaves those pixels out, so the corners of
    // the square picture stay transparent.
    std::vector<std::uint32_t> pixels(kSize * kSize, 0xFFFF00FFu);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const float dx = static_cast<float>(x) - 31.5f, dy = static_cast<float>(y) - 31.5f;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > 30.0f) continue;
            std::uint32_t colour = r > 28.0f ? 0xFF804000u : 0xFFFFD020u;  // outline, face
            // Lighter towards the top left, as if lit from there.
            if (r <= 28.0f && dx + dy < -30.0f) colour = 0xFFFFF080u;
            const bool eye = (std::abs(dx + 10.0f) < 3.5f || std::abs(dx - 10.0f) < 3.5f) &&
                             std::abs(dy + 8.0f) < 5.0f;
            const bool mouth = dy > 6.0f && r > 14.0f && r < 19.0f;
            if (eye || mouth) colour = 0xFF402000u;
            pixels[y * kSize + x] = colour;
        }
    }
    std::string error;
    const std::string path = std::string(argv[1]) + "/smiley.bmp";
    if (!platform::SaveBmp(path, pixels.data(), kSize, kSize, &error)) {
        std::fprintf(stderr, "make_content: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
