// groundtiles.bmp: a field of grass inside a sandy shore and water, as tiles
// of 64 x 64 that join seamlessly. Every tile is drawn from one grass texture
// that repeats every 64 pixels, so any two tiles fit side by side; borders and
// decorations are laid over it.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/art.h"

namespace assetgen {

namespace {

constexpr int kTile = 64;
constexpr float kPi = 3.14159265f;

// Tile numbers (1-based) with a fixed meaning in the map.
enum : int {
    kTopLeft = 8,
    kTop = 9,
    kTopRight = 10,
    kLeft = 18,
    kRocks = 19,
    kRight = 20,
    kBottomLeft = 28,
    kBottom = 29,
    kBottomRight = 30,
    kBushes = 40,
    kPond = 80,
    kPlain = 158,
};

const Noise kGrassNoise(901, 8), kWaterNoise(913, 8), kSandNoise(927, 16);

Rgb Grass(int x, int y) {
    const float n = kGrassNoise.Fractal(x / 8.0f, y / 8.0f, 3);
    Rgb c = Mix(Hex(0x4C7F2C), Hex(0x6E9E3E), n);
    // Fine blades: a fixed speckle that repeats with the tile.
    const std::uint32_t h =
        (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u);
    if ((h >> 7) % 11 == 0) c = Scale(c, 1.18f);
    if ((h >> 3) % 13 == 0) c = Scale(c, 0.82f);
    return c;
}

Rgb Water(int x, int y) {
    const float n = kWaterNoise.Fractal(x / 8.0f, y / 8.0f, 2);
    const float ripple = std::sin((x + y * 0.5f) * 2.0f * kPi / 32.0f + n * 6.0f);
    Rgb c = Mix(Hex(0x22558F), Hex(0x3A78B5), n);
    if (ripple > 0.93f) c = Mix(c, Hex(0xA9D4F2), 0.55f);
    return c;
}

Rgb Sand(int x, int y) {
    return Mix(Hex(0xCDB27A), Hex(0xE6D3A0), kSandNoise.Fractal(x / 4.0f, y / 4.0f, 2));
}

// Depth of the water band along a border at position t along it; repeats every
// tile so neighbouring border tiles meet.
float Shore(int t) {
    const float a = 2.0f * kPi * t / kTile;
    return 14.0f + 4.0f * std::sin(a) + 2.0f * std::sin(2.0f * a + 1.0f);
}

// Signed distance from the water's edge (negative in the water) for a border
// tile, or a large value for an inner tile.
float ShoreDistance(int n, int x, int y) {
    const float big = 1000.0f;
    const float top = y - Shore(x), bottom = (kTile - 1 - y) - Shore(x);
    const float left = x - Shore(y), right = (kTile - 1 - x) - Shore(y);
    switch (n) {
        case kTopLeft:
            return std::min(top, left);
        case kTop:
            return top;
        case kTopRight:
            return std::min(top, right);
        case kLeft:
            return left;
        case kRight:
            return right;
        case kBottomLeft:
            return std::min(bottom, left);
        case kBottom:
            return bottom;
        case kBottomRight:
            return std::min(bottom, right);
        default:
            return big;
    }
}

// Darkens a soft ellipse of the tile: the shadow under a rock or bush.
void Shadow(Canvas& t, float cx, float cy, float rx, float ry, float strength) {
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float dx = (x + 0.5f - cx) / rx, dy = (y + 0.5f - cy) / ry;
            const float d = dx * dx + dy * dy;
            if (d < 1.0f) t.Set(x, y, Scale(t.Get(x, y), 1.0f - strength * (1.0f - d)));
        }
}

// Supersampled overlay for one tile's decoration.
struct Overlay {
    Overlay() : big(kTile * 4, kTile * 4, kKey) {
        pen.canvas = &big;
        pen.scale = 4.0f;
    }
    void Onto(Canvas& t, Rgb outline) const {
        Canvas small = big.Downsample(4);
        small.Outline(outline);
        t.Paste(small, 0, 0, true);
    }
    Canvas big;
    Pen pen;
};

void Rock(const Pen& p, float x, float y, float r) {
    p.Ellipse(x, y, r, r * 0.78f, Hex(0x7D7F86));
    p.Ellipse(x - r * 0.2f, y - r * 0.2f, r * 0.7f, r * 0.5f, Hex(0x9EA1A8));
    p.Ellipse(x - r * 0.35f, y - r * 0.35f, r * 0.3f, r * 0.2f, Hex(0xC6C9CE));
}

void Bush(const Pen& p, float x, float y, float r) {
    p.Disc(x, y, r, Hex(0x24571E));
    p.Disc(x - r * 0.25f, y - r * 0.25f, r * 0.7f, Hex(0x2F6E27));
    p.Disc(x - r * 0.4f, y - r * 0.4f, r * 0.35f, Hex(0x4A8C38));
}

void DrawRocks(Canvas& t) {
    Shadow(t, 35.0f, 38.0f, 26.0f, 18.0f, 0.35f);
    Overlay o;
    Rock(o.pen, 25.0f, 28.0f, 14.0f);
    Rock(o.pen, 43.0f, 36.0f, 10.0f);
    Rock(o.pen, 29.0f, 46.0f, 7.0f);
    o.Onto(t, Hex(0x2C2D31));
}

void DrawBushes(Canvas& t) {
    Shadow(t, 34.0f, 38.0f, 28.0f, 20.0f, 0.4f);
    Overlay o;
    Bush(o.pen, 21.0f, 37.0f, 13.0f);
    Bush(o.pen, 43.0f, 39.0f, 12.0f);
    Bush(o.pen, 32.0f, 23.0f, 14.0f);
    for (float b : {0.0f, 1.0f, 2.0f, 3.0f})
        o.pen.Disc(20.0f + b * 8.0f, 28.0f + std::fmod(b * 5.0f, 11.0f), 1.5f, Hex(0xD8342A));
    o.Onto(t, Hex(0x0F260C));
}

void DrawPond(Canvas& t) {
    Overlay o;
    o.pen.Ellipse(32.0f, 32.0f, 26.0f, 20.0f, Hex(0xBFA56E));
    o.pen.Ellipse(32.0f, 32.5f, 22.5f, 16.5f, Hex(0x2F6AA6));
    o.pen.Ellipse(29.0f, 29.0f, 14.0f, 8.0f, Hex(0x3F82C0));
    o.pen.Ellipse(40.0f, 36.0f, 4.5f, 3.5f, Hex(0x3E8C30));  // a lily pad
    o.pen.Disc(41.0f, 35.0f, 1.2f, Hex(0xF4F0F4));
    o.pen.Line(20.0f, 35.0f, 26.0f, 35.0f, 0.8f, Hex(0xA8D0F0));
    o.Onto(t, Hex(0x3A3020));
}

// Small scattered details that make the ordinary tiles differ from each other.
void DrawVariation(Canvas& t, int n) {
    Rng rng(1000u + static_cast<std::uint32_t>(n));
    const int kind = rng.Int(5);
    Overlay o;
    const int count = 2 + rng.Int(4);
    for (int i = 0; i < count; ++i) {
        const float x = rng.Range(10.0f, 54.0f), y = rng.Range(10.0f, 54.0f);
        switch (kind) {
            case 0:  // pebbles
                o.pen.Ellipse(x, y, rng.Range(1.5f, 2.8f), rng.Range(1.2f, 2.0f), Hex(0x9A968C));
                break;
            case 1:  // small flowers
                o.pen.Disc(x, y, 1.6f, i % 2 ? Hex(0xF4E04A) : Hex(0xF2F2F2));
                break;
            case 2:  // tufts
                for (int k = 0; k < 5; ++k) {
                    const float a = -kPi / 2 + (k - 2) * 0.35f;
                    o.pen.Line(x, y, x + std::cos(a) * 5.0f, y + std::sin(a) * 5.0f, 1.0f,
                               Hex(0x3A6A22));
                }
                break;
            case 3:  // bare earth
                Shadow(t, x, y, 7.0f, 5.0f, 0.0f);
                o.pen.Ellipse(x, y, rng.Range(3.0f, 6.0f), rng.Range(2.0f, 4.0f), Hex(0x8A7248));
                break;
            default:
                break;
        }
    }
    Canvas small = o.big.Downsample(4);
    t.Paste(small, 0, 0, true);
}

Canvas Tile(int n) {
    Canvas t(kTile, kTile, kKey);
    for (int y = 0; y < kTile; ++y)
        for (int x = 0; x < kTile; ++x) {
            const float d = ShoreDistance(n, x, y);
            Rgb c;
            if (d < -1.5f)
                c = Water(x, y);
            else if (d < 0.0f)
                c = Hex(0xE8F2F8);  // foam at the water's edge
            else if (d < 7.0f)
                c = Sand(x, y);
            else if (d < 8.5f)
                c = Mix(Sand(x, y), Grass(x, y), 0.5f);
            else
                c = Grass(x, y);
            t.Set(x, y, c);
        }
    switch (n) {
        case kRocks:
            DrawRocks(t);
            break;
        case kBushes:
            DrawBushes(t);
            break;
        case kPond:
            DrawPond(t);
            break;
        case kPlain:
            break;
        default:
            if (ShoreDistance(n, 0, 0) > 100.0f) DrawVariation(t, n);
            break;
    }
    return t;
}

}  // namespace

Canvas MakeGroundTiles() {
    Canvas sheet(16 * kTile, 10 * kTile, kKey);
    for (int n = 1; n <= 160; ++n)
        sheet.Paste(Tile(n), ((n - 1) % 16) * kTile, ((n - 1) / 16) * kTile, false);
    return sheet;
}

}  // namespace assetgen
