// Star catcher's content generator: draws the sky, the basket, a star, a
// rock and the two menu pictures, and synthesises the three sounds, into
// the folder named on the command line. The build runs it before the game.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/core/png.h"  // platform::SaveBmp
#include "sound/riff_wave.h"    // WriteMonoWave

namespace {

constexpr std::uint32_t kKey = 0xFFFF00FFu;  // opaque magenta: not drawn
constexpr float kPi = 3.14159265f;

// A picture: ARGB pixels, row by row from the top left.
struct Image {
    int width, height;
    std::vector<std::uint32_t> pixels;
    Image(int w, int h, std::uint32_t fill) : width(w), height(h), pixels(w * h, fill) {}
    std::uint32_t& at(int x, int y) { return pixels[y * width + x]; }
};

std::uint32_t Rgb(int r, int g, int b) {
    return 0xFF000000u | static_cast<std::uint32_t>(r << 16 | g << 8 | b);
}

std::string folder;
bool ok = true;

void Save(const char* name, const Image& image) {
    std::string error;
    if (!platform::SaveBmp(folder + "/" + name, image.pixels.data(), image.width, image.height,
                           &error)) {
        std::fprintf(stderr, "make_content: %s\n", error.c_str());
        ok = false;
    }
}

// The night sky: dark blue fading to violet, faint stars, a dark hill.
Image Sky(int width, int height) {
    Image sky(width, height, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float t = static_cast<float>(y) / static_cast<float>(height);
            sky.at(x, y) = Rgb(static_cast<int>(10 + 60 * t), static_cast<int>(14 + 20 * t),
                               static_cast<int>(50 + 50 * t));
            const float hill = static_cast<float>(height) * (0.93f - 0.03f * std::sin(x * 0.01f));
            if (static_cast<float>(y) > hill) sky.at(x, y) = Rgb(16, 40, 24);
        }
    std::uint32_t seed = 7;  // a fixed seed: the same sky every build
    for (int i = 0; i < width * height / 4000; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const int x = static_cast<int>(seed >> 8) % width;
        const int y = static_cast<int>(seed >> 20) % (height * 3 / 4);
        sky.at(x, y) = Rgb(150, 150, 190);
    }
    return sky;
}

// A five-pointed star filling a square of `size` pixels.
Image Star(int size) {
    Image star(size, size, kKey);
    const float c = static_cast<float>(size - 1) / 2.0f, outer = c, inner = c * 0.45f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = static_cast<float>(x) - c, dy = static_cast<float>(y) - c;
            // The star's edge, by angle: from the outer radius at each point
            // straight in to the inner radius between two points.
            const float a = std::atan2(dx, -dy) + 2 * kPi;  // a point at the top
            const float f = std::fabs(std::fmod(a, 2 * kPi / 5) / (2 * kPi / 5) - 0.5f) * 2;
            const float edge = inner + (outer - inner) * f * f;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r < edge) star.at(x, y) = r < edge - 2 ? Rgb(255, 230, 90) : Rgb(200, 120, 20);
        }
    return star;
}

// A lumpy grey rock with a few dark pits, in a square of `size` pixels.
Image Rock(int size) {
    Image rock(size, size, kKey);
    const float c = static_cast<float>(size - 1) / 2.0f;
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const float dx = static_cast<float>(x) - c, dy = static_cast<float>(y) - c;
            const float a = std::atan2(dy, dx);
            const float edge = c * (0.84f + 0.07f * std::sin(3 * a) + 0.06f * std::sin(7 * a + 1));
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r >= edge) continue;
            int shade = 120 - static_cast<int>(45 * (dx + dy) / (2 * c));  // lit from the top left
            if (std::sin(x * 0.9f) * std::sin(y * 0.7f) > 0.8f) shade -= 35;  // pits
            rock.at(x, y) = r > edge - 2 ? Rgb(45, 40, 40) : Rgb(shade, shade - 6, shade - 12);
        }
    return rock;
}

// A woven basket, wider at the rim, `width` x `height` pixels: rows of
// strands, each row's strands offset by half a strand from the last.
Image Basket(int width, int height) {
    Image basket(width, height, kKey);
    for (int y = 0; y < height; ++y) {
        const int inset = y * width / (5 * height);  // the sides slope in
        for (int x = inset; x < width - inset; ++x) {
            const int row = y / 7, along = (x + (row % 2) * 8) % 16, across = y % 7;
            int shade = 200 - 12 * std::abs(along - 8) - 6 * std::abs(across - 3);
            if (y < 6) shade = 130;  // the rim
            if (x < inset + 2 || x >= width - inset - 2 || y >= height - 2) shade = 90;
            basket.at(x, y) = Rgb(shade, shade * 2 / 3, shade / 3);
        }
    }
    return basket;
}

// Draws `sprite` onto `image` at (left, top), leaving out colour-keyed pixels.
void Paste(Image& image, const Image& sprite, int left, int top) {
    for (int y = 0; y < sprite.height; ++y)
        for (int x = 0; x < sprite.width; ++x)
            if (sprite.pixels[y * sprite.width + x] != kKey)
                image.at(left + x, top + y) = sprite.pixels[y * sprite.width + x];
}

// The menu's 128 x 96 picture of a level: the scene in small.
Image Thumbnail(bool rocks) {
    Image thumb = Sky(128, 96);
    const Image star = Star(12), rock = Rock(12);
    Paste(thumb, star, 20, 14);
    Paste(thumb, star, 70, 40);
    Paste(thumb, star, 100, 8);
    if (rocks) {
        Paste(thumb, rock, 45, 30);
        Paste(thumb, rock, 90, 58);
    }
    Paste(thumb, Basket(28, 10), 60, 82);
    return thumb;
}

// A sound: `seconds` long, its pitch sliding from `from` to `to` Hz, fading
// out; `noise` mixes in that much of a rumble.
void Sound(const char* name, float seconds, float from, float to, float noise) {
    constexpr int kRate = 22050;
    const int count = static_cast<int>(seconds * kRate);
    std::vector<std::int16_t> samples(count);
    float phase = 0;
    std::uint32_t seed = 1;
    for (int i = 0; i < count; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(count);
        phase += 2 * kPi * (from + (to - from) * t) / kRate;
        seed = seed * 1664525u + 1013904223u;
        const float hiss = static_cast<float>(seed >> 16) / 32768.0f - 1.0f;
        const float v = (std::sin(phase) * (1 - noise) + hiss * noise) * (1 - t) * (1 - t);
        samples[i] = static_cast<std::int16_t>(v * 20000);
    }
    std::string error;
    if (!WriteMonoWave(folder + "/" + name, samples, kRate, &error)) {
        std::fprintf(stderr, "make_content: %s\n", error.c_str());
        ok = false;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CONTENT_FOLDER\n", argv[0]);
        return 2;
    }
    folder = argv[1];
    Save("sky.bmp", Sky(1024, 768));
    Save("star.bmp", Star(40));
    Save("rock.bmp", Rock(40));
    Save("basket.bmp", Basket(128, 48));
    Save("thumb_easy.bmp", Thumbnail(false));
    Save("thumb_hard.bmp", Thumbnail(true));
    Sound("catch.wav", 0.15f, 880, 1760, 0);  // a rising chime
    Sound("miss.wav", 0.35f, 330, 110, 0);    // a falling groan
    Sound("crash.wav", 0.3f, 90, 60, 0.7f);   // a rumble
    return ok ? 0 : 1;
}
