// A small RGB canvas with the drawing primitives the content generator needs,
// and the 24-bit Windows bitmap writer.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace assetgen {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Opaque magenta: the colour that the texture cache makes transparent.
inline constexpr Rgb kKey{255, 0, 255};

Rgb Mix(Rgb a, Rgb b, float t);  // a at t = 0, b at t = 1
Rgb Scale(Rgb c, float f);       // brightness scale, clamped
Rgb Hex(std::uint32_t rrggbb);

// Deterministic pseudo-random numbers (xorshift32) so that every run of the
// generator writes byte-identical files.
class Rng {
  public:
    explicit Rng(std::uint32_t seed) : state_(seed ? seed : 0x9E3779B9u) {}
    std::uint32_t Next();
    float Unit();                     // [0, 1)
    float Range(float lo, float hi);  // [lo, hi)
    int Int(int n);                   // [0, n)

  private:
    std::uint32_t state_;
};

// Smooth value noise on a grid of the given period (tiles seamlessly when the
// image size is a multiple of the period).
class Noise {
  public:
    Noise(std::uint32_t seed, int period);
    float At(float x, float y) const;  // about [0, 1)
    float Fractal(float x, float y, int octaves) const;

  private:
    float Lattice(int x, int y) const;
    std::uint32_t seed_;
    int period_;
};

class Canvas {
  public:
    Canvas(int width, int height, Rgb fill = kKey);

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgb Get(int x, int y) const;
    void Set(int x, int y, Rgb c);  // ignores points outside
    void Blend(int x, int y, Rgb c, float a);
    const std::vector<Rgb>& Pixels() const { return pixels_; }

    void FillRect(int x, int y, int w, int h, Rgb c);
    void Frame(int x, int y, int w, int h, Rgb c);
    // Filled ellipse centred on (cx, cy) with radii (rx, ry), turned by
    // `angle` radians. Pixels whose centres lie inside are set.
    void Ellipse(float cx, float cy, float rx, float ry, Rgb c, float angle = 0.0f);
    void Disc(float cx, float cy, float r, Rgb c) { Ellipse(cx, cy, r, r, c); }
    void Ring(float cx, float cy, float r0, float r1, Rgb c);
    // Filled polygon (even-odd rule) of n points.
    void Polygon(const float* xy, int n, Rgb c);
    void Triangle(float x0, float y0, float x1, float y1, float x2, float y2, Rgb c);
    // A line of the given thickness with round ends.
    void Line(float x0, float y0, float x1, float y1, float thickness, Rgb c);
    // Copies `src` with its top-left at (x, y); key-coloured source pixels are skipped
    // when `keyed` is true.
    void Paste(const Canvas& src, int x, int y, bool keyed);
    // Mirrors the image left to right.
    void FlipX();
    // Shrinks by an integer factor (used to draw sprites supersampled).
    Canvas Downsample(int f) const;
    // Draws a one-pixel outline of colour `c` on every key pixel that touches a
    // non-key pixel (4-neighbourhood).
    void Outline(Rgb c);

  private:
    int width_, height_;
    std::vector<Rgb> pixels_;
};

// Draws shapes given in a local frame: a point p maps to
// origin + (pivot + R(angle) (p - pivot)) * scale, and ellipses turn with it.
struct Pen {
    Canvas* canvas = nullptr;
    float originX = 0.0f, originY = 0.0f, scale = 1.0f, angle = 0.0f;
    float pivotX = 0.0f, pivotY = 0.0f;

    void Map(float x, float y, float* ox, float* oy) const;
    void Ellipse(float cx, float cy, float rx, float ry, Rgb c, float a = 0.0f) const;
    void Disc(float cx, float cy, float r, Rgb c) const { Ellipse(cx, cy, r, r, c); }
    void Line(float x0, float y0, float x1, float y1, float thickness, Rgb c) const;
    void Polygon(std::initializer_list<float> xy, Rgb c) const;
};

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* error);

// Writes `c` as an uncompressed 24-bit bottom-up Windows bitmap. Returns false
// with `error` set when the file cannot be written.
bool WriteBmp(const Canvas& c, const std::string& path, std::string* error);

}  // namespace assetgen
