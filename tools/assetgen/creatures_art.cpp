// The savanna's sprites (grass, giraffe, lions) and the shooter's and the
// brick game's sprites.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/art.h"

namespace assetgen {

namespace {

constexpr int kSuper = 4;
constexpr float kPi = 3.14159265f;

// A supersampled drawing surface for one sprite of w x h pixels.
struct Sprite {
    Sprite(int w, int h) : big(w * kSuper, h * kSuper, kKey) {
        pen.canvas = &big;
        pen.scale = static_cast<float>(kSuper);
    }
    Canvas Finish(bool outline, Rgb line) const {
        Canvas small = big.Downsample(kSuper);
        if (outline) small.Outline(line);
        return small;
    }
    Canvas big;
    Pen pen;
};

// Replaces every pixel of colour `base` by the pixel of `pattern`: markings
// drawn freely over a copy stay inside the fur they belong to.
void Mark(Canvas& c, const Canvas& pattern, Rgb base) {
    for (int y = 0; y < c.Height(); ++y)
        for (int x = 0; x < c.Width(); ++x)
            if (c.Get(x, y) == base) c.Set(x, y, pattern.Get(x, y));
}

}  // namespace

Canvas MakeGrass() {
    // A tuft seen from above: blades radiating from a dark centre.
    Sprite s(32, 32);
    Rng rng(301);
    s.pen.Disc(16.0f, 16.0f, 8.5f, Hex(0x2E6A22));
    const Rgb greens[4] = {Hex(0x3F8A2C), Hex(0x5AA83A), Hex(0x78C04A), Hex(0x9AD466)};
    for (int i = 0; i < 46; ++i) {
        const float a = rng.Range(0.0f, 2.0f * kPi);
        const float len = rng.Range(6.0f, 14.0f);
        const float r0 = rng.Range(0.0f, 4.0f);
        const float x0 = 16.0f + std::cos(a) * r0, y0 = 16.0f + std::sin(a) * r0;
        s.pen.Line(x0, y0, x0 + std::cos(a) * len, y0 + std::sin(a) * len, rng.Range(1.0f, 1.8f),
                   greens[std::min(3, i * 4 / 46)]);
    }
    return s.Finish(true, Hex(0x173A12));
}

Canvas MakeGiraffe() {
    // Side view, facing left: long neck, four thin legs, patched coat.
    Sprite s(32, 48);
    const Rgb coat = Hex(0xE9B650), patch = Hex(0x93521F), hoof = Hex(0x3A2614),
              mane = Hex(0x7A431A), belly = Hex(0xF6DDA0);
    Pen& p = s.pen;
    p.Line(25.0f, 27.0f, 29.0f, 36.0f, 1.0f, coat);  // tail
    p.Disc(29.0f, 36.5f, 1.3f, hoof);
    for (float lx : {13.0f, 16.5f, 22.0f, 25.5f}) {
        p.Line(lx, 27.0f, lx + (lx > 20.0f ? 0.5f : -0.5f), 46.0f, 2.0f, coat);
        p.Ellipse(lx + (lx > 20.0f ? 0.5f : -0.5f), 46.3f, 1.3f, 1.0f, hoof);
    }
    p.Ellipse(19.0f, 25.0f, 9.5f, 6.0f, coat, -0.12f);  // body
    p.Ellipse(19.0f, 28.5f, 6.0f, 2.0f, belly);
    p.Polygon({10.5f, 22.5f, 15.0f, 20.0f, 9.5f, 5.5f, 6.5f, 6.5f}, coat);  // neck
    p.Line(10.5f, 6.5f, 15.0f, 19.0f, 1.3f, mane);
    p.Ellipse(5.0f, 6.5f, 4.6f, 2.6f, coat, 0.35f);  // head
    p.Ellipse(2.0f, 8.0f, 1.8f, 1.5f, Hex(0xD59A48));
    p.Line(6.5f, 4.0f, 6.0f, 1.2f, 0.9f, hoof);  // horns
    p.Line(8.0f, 4.3f, 8.2f, 1.5f, 0.9f, hoof);
    p.Ellipse(9.5f, 5.0f, 1.6f, 0.9f, coat, -0.5f);  // ear
    // Patches: drawn over a copy, kept only where the coat shows.
    Canvas spots = s.big;
    Rng rng(77);
    for (int i = 0; i < 70; ++i) {
        const float x = rng.Range(4.0f, 29.0f), y = rng.Range(4.0f, 33.0f);
        p.canvas = &spots;
        p.Ellipse(x, y, rng.Range(1.5f, 2.4f), rng.Range(1.2f, 1.9f), patch, rng.Range(0.0f, kPi));
    }
    p.canvas = &s.big;
    Mark(s.big, spots, coat);
    p.Disc(4.5f, 5.8f, 0.7f, Hex(0x140C06));  // eye over the patches
    return s.Finish(true, Hex(0x2A1A0C));
}

Canvas MakeLion(bool leader) {
    // Side view, facing left. The leader is darker and wears a big dark mane,
    // so the two read apart at a glance.
    Sprite s(40, 28);
    const Rgb fur = leader ? Hex(0xCF9446) : Hex(0xDDAE68);
    const Rgb shade = leader ? Hex(0xA8712F) : Hex(0xB98A4A);
    const Rgb light = Hex(0xF1D6A4), dark = Hex(0x2B1A0C);
    Pen& p = s.pen;
    // Tail with its dark tuft.
    p.Line(32.0f, 12.0f, 36.5f, 8.0f, 1.4f, fur);
    p.Line(36.5f, 8.0f, 37.5f, 4.5f, 1.4f, fur);
    p.Ellipse(37.6f, 3.8f, 1.6f, 2.0f, dark);
    // Far legs, body, near legs.
    p.Line(15.0f, 16.0f, 14.0f, 25.5f, 2.6f, shade);
    p.Line(29.0f, 16.0f, 30.0f, 25.5f, 2.6f, shade);
    p.Ellipse(22.0f, 13.5f, 12.0f, 6.2f, fur);
    p.Ellipse(22.0f, 17.0f, 8.5f, 2.6f, light);
    p.Line(12.0f, 16.0f, 11.5f, 25.5f, 2.8f, fur);
    p.Line(26.0f, 16.0f, 27.0f, 25.5f, 2.8f, fur);
    p.Ellipse(10.8f, 25.8f, 2.0f, 1.0f, light);
    p.Ellipse(26.4f, 25.8f, 2.0f, 1.0f, light);
    if (leader) {
        // A ragged mane around head and neck.
        const Rgb mane = Hex(0x6A3414), maneLight = Hex(0x8C4A1E);
        for (int k = 0; k < 16; ++k) {
            const float a = k * 2.0f * kPi / 16.0f;
            p.Ellipse(9.5f + std::cos(a) * 5.8f, 10.0f + std::sin(a) * 5.8f, 3.0f, 2.0f,
                      k % 2 ? mane : maneLight, a);
        }
        p.Disc(9.5f, 10.0f, 6.8f, mane);
        p.Ellipse(14.5f, 12.0f, 4.0f, 6.0f, mane, 0.4f);
    }
    p.Ellipse(7.0f, 10.0f, 5.2f, 4.4f, fur);                            // head
    p.Ellipse(3.2f, 12.0f, 2.8f, 2.2f, light);                          // muzzle
    p.Ellipse(2.0f, 10.8f, 1.0f, 0.8f, dark);                           // nose
    p.Disc(5.4f, 8.8f, 0.8f, dark);                                     // eye
    p.Ellipse(9.6f, 6.0f, 1.5f, 1.4f, leader ? Hex(0x6A3414) : shade);  // ear
    return s.Finish(true, dark);
}

Canvas MakePlayer() {
    // The player's ship, nose up: swept wings, blue canopy, twin engines.
    Sprite s(64, 64);
    Pen& p = s.pen;
    const Rgb hull = Hex(0xD3DBE6), panel = Hex(0x8795AC), stripe = Hex(0x2F78D8),
              canopy = Hex(0x57C8FF), flame = Hex(0xFF9A2A), flameCore = Hex(0xFFF4B0);
    p.Ellipse(26.0f, 57.5f, 3.2f, 5.5f, flame);
    p.Ellipse(38.0f, 57.5f, 3.2f, 5.5f, flame);
    p.Ellipse(26.0f, 56.0f, 1.6f, 3.2f, flameCore);
    p.Ellipse(38.0f, 56.0f, 1.6f, 3.2f, flameCore);
    p.Polygon({32.0f, 20.0f, 62.0f, 44.0f, 61.0f, 50.0f, 32.0f, 43.0f, 3.0f, 50.0f, 2.0f, 44.0f},
              panel);  // wings
    p.Polygon({32.0f, 23.0f, 58.0f, 44.0f, 32.0f, 40.0f, 6.0f, 44.0f}, hull);
    p.Polygon({55.0f, 38.0f, 60.0f, 33.0f, 61.0f, 47.0f}, stripe);  // wing tips
    p.Polygon({9.0f, 38.0f, 4.0f, 33.0f, 3.0f, 47.0f}, stripe);
    p.Polygon({32.0f, 2.0f, 38.0f, 18.0f, 39.0f, 52.0f, 25.0f, 52.0f, 26.0f, 18.0f}, hull);
    p.Polygon({29.0f, 45.0f, 35.0f, 45.0f, 36.0f, 53.0f, 28.0f, 53.0f}, panel);
    p.Line(32.0f, 27.0f, 32.0f, 48.0f, 2.0f, stripe);
    p.Ellipse(32.0f, 17.0f, 3.3f, 7.0f, canopy);
    p.Ellipse(31.0f, 14.5f, 1.2f, 3.0f, Hex(0xE0F6FF));
    p.Polygon({22.0f, 52.0f, 30.0f, 52.0f, 29.0f, 55.0f, 23.0f, 55.0f}, panel);  // nozzles
    p.Polygon({34.0f, 52.0f, 42.0f, 52.0f, 41.0f, 55.0f, 35.0f, 55.0f}, panel);
    return s.Finish(true, Hex(0x10141C));
}

Canvas MakeEnemy() {
    // A raider pointing down: a dark red hull with claws reaching downwards
    // and a green glowing eye.
    Sprite s(48, 48);
    Pen& p = s.pen;
    const Rgb hull = Hex(0xB83248), dark = Hex(0x63142A), light = Hex(0xE46A7C),
              glow = Hex(0x7CFF6A), glowCore = Hex(0xE8FFE0);
    p.Polygon({24.0f, 14.0f, 46.0f, 4.0f, 40.0f, 22.0f, 24.0f, 24.0f, 8.0f, 22.0f, 2.0f, 4.0f},
              dark);                                                            // swept wings
    p.Polygon({14.0f, 22.0f, 19.0f, 30.0f, 15.0f, 45.0f, 10.0f, 30.0f}, dark);  // claws
    p.Polygon({34.0f, 22.0f, 29.0f, 30.0f, 33.0f, 45.0f, 38.0f, 30.0f}, dark);
    p.Ellipse(24.0f, 22.0f, 11.0f, 13.0f, hull);
    p.Ellipse(22.0f, 17.0f, 5.0f, 6.0f, light);
    p.Ellipse(24.0f, 24.0f, 9.0f, 10.0f, hull);
    p.Disc(24.0f, 29.0f, 4.6f, dark);
    p.Disc(24.0f, 29.0f, 3.4f, glow);
    p.Disc(23.4f, 28.4f, 1.4f, glowCore);
    p.Line(17.0f, 12.0f, 31.0f, 12.0f, 1.4f, dark);
    return s.Finish(true, Hex(0x1A0408));
}

Canvas MakeBullet() {
    Sprite s(6, 16);
    s.pen.Ellipse(3.0f, 8.0f, 3.0f, 8.0f, Hex(0xFF7A1A));
    s.pen.Ellipse(3.0f, 8.0f, 2.0f, 6.6f, Hex(0xFFD23C));
    s.pen.Ellipse(3.0f, 7.5f, 1.0f, 5.0f, Hex(0xFFFFF0));
    return s.Finish(false, kKey);
}

// The brick game's three sprites are discs of diameter 50 filling their
// images: a ball touches a paddle or a brick exactly when their top-left
// corners are 50 pixels apart, the distance at which the game bounces it.
namespace {
constexpr int kDisc = 50;
constexpr float kRadius = 25.0f;

// Distance of a pixel's centre from the disc's centre, and the pixel's place
// on the disc relative to a light from the top left (1 lit, -1 in shade).
float DiscDistance(int x, int y) {
    const float dx = x + 0.5f - kRadius, dy = y + 0.5f - kRadius;
    return std::sqrt(dx * dx + dy * dy);
}
float DiscLight(int x, int y) {
    const float dx = x + 0.5f - kRadius, dy = y + 0.5f - kRadius;
    return std::clamp(-(dx + dy) / (1.41421356f * kRadius), -1.0f, 1.0f);
}
}  // namespace

Canvas MakeBall() {
    // A shiny steel ball lit from the top left.
    Canvas c(kDisc, kDisc, kKey);
    for (int y = 0; y < kDisc; ++y)
        for (int x = 0; x < kDisc; ++x) {
            const float d = DiscDistance(x, y);
            if (d > kRadius) continue;
            const float hx = x + 0.5f - 17.0f, hy = y + 0.5f - 17.0f;
            const float light = std::exp(-(hx * hx + hy * hy) / 40.0f);
            Rgb col = Mix(Hex(0x26385C), Hex(0x9CC4F0), 1.0f - d / kRadius);
            col = Mix(col, Hex(0xFFFFFF), light);
            c.Set(x, y, d > kRadius - 1.6f ? Hex(0x101828) : col);
        }
    return c;
}

Canvas MakePaddle() {
    // A round bumper: a dark rim, a red ring with a white band, a steel cap.
    Canvas c(kDisc, kDisc, kKey);
    for (int y = 0; y < kDisc; ++y)
        for (int x = 0; x < kDisc; ++x) {
            const float d = DiscDistance(x, y);
            if (d > kRadius) continue;
            const float lit = DiscLight(x, y);
            Rgb col;
            if (d > kRadius - 2.0f)
                col = Hex(0x1A1E28);
            else if (d > 19.0f)
                col = Scale(Hex(0xD8402E), 1.0f + 0.35f * lit);
            else if (d > 16.5f)
                col = Scale(Hex(0xF4F0E8), 0.9f + 0.1f * lit);
            else if (d > 11.0f)
                col = Scale(Hex(0xB02A1C), 1.0f + 0.3f * lit);
            else if (d > 9.8f)
                col = Hex(0x3A2020);
            else
                col = Mix(Hex(0x8A94A8), Hex(0xF0F4FA), 0.5f + 0.5f * lit);
            c.Set(x, y, col);
        }
    return c;
}

Canvas MakeBrick() {
    // A round brick: courses of fired clay with mortar joints, lit from the
    // top left.
    Canvas c(kDisc, kDisc, kKey);
    Noise n(401, 8);
    for (int y = 0; y < kDisc; ++y)
        for (int x = 0; x < kDisc; ++x) {
            const float d = DiscDistance(x, y);
            if (d > kRadius) continue;
            const int course = y < 17 ? 0 : (y < 33 ? 1 : 2);
            const bool bedJoint = y == 16 || y == 32;
            const bool headJoint = course == 1 ? x == 24 : (x == 13 || x == 36);
            Rgb col = Scale(Hex(course == 1 ? 0xB84A28 : 0xC4542E),
                            0.88f + 0.24f * n.Fractal(x / 5.0f, y / 5.0f, 2));
            if (bedJoint || headJoint) col = Hex(0xD8CCB4);
            col = Scale(col, 1.0f + 0.25f * DiscLight(x, y));
            c.Set(x, y, d > kRadius - 1.6f ? Hex(0x4A180A) : col);
        }
    return c;
}

}  // namespace assetgen
