// The shooting gallery's images: meadow background, crosshair, flower, bunny.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/art.h"

namespace assetgen {

namespace {

constexpr int kSuper = 4;  // sprites are drawn 4 x 4 supersampled, then reduced

float SmoothStep(float a, float b, float x) {
    const float t = std::clamp((x - a) / (b - a), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

}  // namespace

Canvas MakeBackground() {
    const int w = 1024, h = 768;
    Canvas c(w, h, Hex(0x000000));
    Noise cloud(11, 16), hillA(23, 64), hillB(37, 64), field(41, 64), mottle(53, 64);
    const Rgb skyTop = Hex(0x3C79C9), skyLow = Hex(0xC4E3F4), white = Hex(0xFBFCFF);
    const Rgb farHill = Hex(0x86AFA6), nearHill = Hex(0x5F9B4C), nearHillDark = Hex(0x4C8540);
    const Rgb fieldFar = Hex(0x78B452), fieldNear = Hex(0x3E8A30);

    auto farTop = [&](int x) {
        return 392.0f + 70.0f * (hillA.Fractal(x / 160.0f, 0.5f, 3) - 0.5f);
    };
    auto nearTop = [&](int x) {
        return 452.0f + 60.0f * (hillB.Fractal(x / 120.0f, 3.5f, 3) - 0.5f);
    };
    auto fieldTop = [&](int x) {
        return 500.0f + 5.0f * std::sin(x / 97.0f) + 3.0f * std::sin(x / 23.0f);
    };

    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            Rgb p;
            if (y < fieldTop(x)) {
                // Sky with soft clouds, then the two hill ranges in front of it.
                p = Mix(skyTop, skyLow, SmoothStep(0.0f, 440.0f, static_cast<float>(y)));
                const float band = 1.0f - SmoothStep(60.0f, 330.0f, static_cast<float>(y));
                const float d = cloud.Fractal(x / 90.0f, y / 34.0f, 4);
                p = Mix(p, white, 0.9f * SmoothStep(0.55f, 0.72f, d) * band);
                const float sx = x - 830.0f, sy = y - 104.0f, sd = std::sqrt(sx * sx + sy * sy);
                if (sd < 120.0f) p = Mix(p, Hex(0xFFF6D0), 0.35f * (1.0f - sd / 120.0f));
                if (sd < 38.0f) p = Hex(0xFFF3B8);
                if (y >= farTop(x)) {
                    const float haze = SmoothStep(0.0f, 60.0f, y - farTop(x));
                    p = Mix(Mix(farHill, skyLow, 0.25f), farHill, haze);
                }
                if (y >= nearTop(x)) {
                    const float n = mottle.Fractal(x / 24.0f, y / 12.0f, 3);
                    p = Mix(nearHill, nearHillDark, std::clamp((n - 0.35f) * 1.6f, 0.0f, 1.0f));
                }
            } else {
                // The field: lighter far away, darker and more mottled near the bottom.
                const float t = SmoothStep(500.0f, 768.0f, static_cast<float>(y));
                p = Mix(fieldFar, fieldNear, t);
                const float n = field.Fractal(x / 40.0f, y / (10.0f + 20.0f * t), 4);
                p = Scale(p, 0.88f + 0.24f * n);
            }
            c.Set(x, y, p);
        }
    }

    // A row of round trees on the near hills.
    Rng rng(97);
    for (int i = 0; i < 14; ++i) {
        const float x = 30.0f + i * 73.0f + rng.Range(-20.0f, 20.0f);
        const float base = nearTop(static_cast<int>(x)) + rng.Range(4.0f, 14.0f);
        if (base > 496.0f) continue;
        const float r = rng.Range(9.0f, 15.0f);
        c.FillRect(static_cast<int>(x) - 1, static_cast<int>(base - r), 3, static_cast<int>(r),
                   Hex(0x4A3426));
        c.Disc(x, base - r * 1.4f, r, Hex(0x2F6B2E));
        c.Disc(x - r * 0.3f, base - r * 1.6f, r * 0.55f, Hex(0x3F8238));
    }

    // Grass blades over the field: more, longer and darker towards the viewer.
    for (int i = 0; i < 9000; ++i) {
        const float y = 502.0f + 266.0f * std::sqrt(rng.Unit());
        const float x = rng.Range(-4.0f, 1028.0f);
        const float t = (y - 500.0f) / 268.0f;
        const float len = 3.0f + 9.0f * t * rng.Range(0.6f, 1.2f);
        const float lean = rng.Range(-0.35f, 0.35f);
        const Rgb col = rng.Unit() < 0.5f ? Mix(fieldFar, Hex(0xA7D46A), 0.5f)
                                          : Mix(fieldNear, Hex(0x24561C), 0.5f + 0.3f * t);
        c.Line(x, y, x + std::sin(lean) * len, y - std::cos(lean) * len, 1.0f, col);
    }
    return c;
}

Canvas MakeCrosshair() {
    const int f = kSuper;
    Canvas big(96 * f, 96 * f, kKey);
    const Rgb red = Hex(0xF03A2A), dark = Hex(0x1C0E0C);
    const float cx = 48.0f * f, cy = 48.0f * f;
    // Dark backing first so the red reads on sky and on grass alike.
    big.Ring(cx, cy, 14.0f * f, 21.0f * f, dark);
    for (int k = 0; k < 4; ++k) {
        const float dx = (k == 0) - (k == 1), dy = (k == 2) - (k == 3);
        big.Line(cx + dx * 5.0f * f, cy + dy * 5.0f * f, cx + dx * 32.0f * f, cy + dy * 32.0f * f,
                 4.0f * f, dark);
    }
    big.Ring(cx, cy, 15.0f * f, 20.0f * f, red);
    for (int k = 0; k < 4; ++k) {
        const float dx = (k == 0) - (k == 1), dy = (k == 2) - (k == 3);
        big.Line(cx + dx * 6.0f * f, cy + dy * 6.0f * f, cx + dx * 31.0f * f, cy + dy * 31.0f * f,
                 2.0f * f, red);
    }
    big.Disc(cx, cy, 2.0f * f, dark);
    big.Disc(cx, cy, 1.0f * f, red);
    return big.Downsample(f);
}

Canvas MakeFlower() {
    const int f = kSuper;
    Canvas sheet(128, 32, kKey);
    const float sway[4] = {-0.16f, 0.0f, 0.16f, 0.0f};
    const Rgb stem = Hex(0x2F7A2A), leaf = Hex(0x3F9A34), petal = Hex(0xF0507E),
              petalLight = Hex(0xFF8AAE), heart = Hex(0xFFD23A), heartDark = Hex(0xE0A020);
    for (int frame = 0; frame < 4; ++frame) {
        Canvas big(32 * f, 32 * f, kKey);
        Pen pen{&big, 0.0f, 0.0f, static_cast<float>(f), 0.0f, 0.0f, 0.0f};
        // The stem bends a little more towards its top; the head follows it.
        float x = 16.0f, y = 32.0f, a = 0.0f;
        const int segments = 8;
        for (int s = 0; s < segments; ++s) {
            a += sway[frame] / segments * 2.0f;
            const float nx = x + std::sin(a) * 2.6f, ny = y - std::cos(a) * 2.6f;
            pen.Line(x, y, nx, ny, 1.6f, stem);
            if (s == 2) pen.Ellipse(nx - 3.5f, ny, 4.0f, 1.7f, leaf, 0.5f + a);
            if (s == 4) pen.Ellipse(nx + 3.5f, ny, 4.0f, 1.7f, leaf, -0.5f + a);
            x = nx;
            y = ny;
        }
        const float hx = x + std::sin(a) * 1.5f, hy = y - std::cos(a) * 1.5f - 3.0f;
        for (int p = 0; p < 6; ++p) {
            const float pa = a + p * 3.14159265f / 3.0f;
            pen.Ellipse(hx + std::cos(pa) * 4.6f, hy + std::sin(pa) * 4.6f, 3.8f, 2.5f,
                        p % 2 ? petal : petalLight, pa);
        }
        pen.Disc(hx, hy, 2.9f, heartDark);
        pen.Disc(hx - 0.5f, hy - 0.5f, 2.1f, heart);
        Canvas small = big.Downsample(f);
        small.Outline(Hex(0x1E3414));  // drawn within the cell, so no frame bleeds into the next
        sheet.Paste(small, frame * 32, 0, true);
    }
    return sheet;
}

namespace {

enum class Eyes { kOpen, kWide, kCrossed };

// One bunny pose, in a local frame with the ground at y = 0 under the body and
// the bunny facing left (towards negative x).
struct BunnyPose {
    float bodyX, bodyY, bodyRx, bodyRy, bodyAngle;
    float haunchX, haunchY, haunchR;
    float headX, headY, headAngle;
    float earBack, earFar;  // ear angles from upright; positive leans back
    float earLength;
    float footX, footY, footAngle;  // hind foot centre and slope
    float shoulderX, shoulderY, pawX, pawY;
    float tailX, tailY;
    Eyes eyes;
};

const Rgb kFur = Hex(0xA0805F), kFurShade = Hex(0x7C5F45), kFurLight = Hex(0xBE9E7C),
          kBelly = Hex(0xEDE1CC), kEarInner = Hex(0xE8A2A6), kEye = Hex(0x1A1410),
          kNose = Hex(0xD46F7A), kTail = Hex(0xF6F1E8), kLine = Hex(0x2A1E16);

void DrawBunny(const Pen& pen, const BunnyPose& p) {
    // Far-side limbs and ear first, in the shade colour.
    const float earBaseX = p.headX + 5.0f, earBaseY = p.headY - 7.0f;
    auto ear = [&](float bx, float by, float ang, float len, Rgb outer, bool inner) {
        const float cx = bx + std::sin(ang) * len * 0.5f, cy = by - std::cos(ang) * len * 0.5f;
        pen.Ellipse(cx, cy, 4.6f, len * 0.5f, outer, ang);
        if (inner) pen.Ellipse(cx - std::cos(ang) * 0.6f, cy, 2.2f, len * 0.38f, kEarInner, ang);
    };
    ear(earBaseX + 4.0f, earBaseY + 1.0f, p.earFar, p.earLength * 0.95f, kFurShade, false);
    pen.Line(p.shoulderX + 5.0f, p.shoulderY, p.pawX + 5.0f, p.pawY, 4.5f, kFurShade);
    pen.Ellipse(p.footX + 4.0f, p.footY - 1.0f, 11.0f, 3.6f, kFurShade, p.footAngle);

    pen.Disc(p.tailX, p.tailY, 6.5f, kTail);
    pen.Ellipse(p.bodyX, p.bodyY, p.bodyRx, p.bodyRy, kFur, p.bodyAngle);
    pen.Ellipse(p.haunchX, p.haunchY, p.haunchR, p.haunchR * 0.92f, kFurShade, p.bodyAngle);
    pen.Ellipse(p.haunchX - 1.0f, p.haunchY - 1.5f, p.haunchR - 2.0f, p.haunchR * 0.92f - 2.0f,
                kFur, p.bodyAngle);
    // Chest: lighter fur towards the front of the body.
    const float ca = std::cos(p.bodyAngle), sa = std::sin(p.bodyAngle);
    pen.Ellipse(p.bodyX - ca * p.bodyRx * 0.45f, p.bodyY - sa * p.bodyRx * 0.45f + 2.0f,
                p.bodyRx * 0.45f, p.bodyRy * 0.65f, kBelly, p.bodyAngle);
    pen.Ellipse(p.bodyX + 2.0f, p.bodyY - p.bodyRy * 0.55f, p.bodyRx * 0.55f, p.bodyRy * 0.25f,
                kFurLight, p.bodyAngle);
    pen.Ellipse(p.footX, p.footY, 12.0f, 3.8f, kFur, p.footAngle);
    pen.Line(p.shoulderX, p.shoulderY, p.pawX, p.pawY, 5.0f, kFur);
    pen.Ellipse(p.pawX - 1.0f, p.pawY + 0.5f, 3.6f, 2.6f, kBelly);

    // Head, muzzle, near ear.
    pen.Ellipse(p.headX, p.headY, 12.5f, 10.5f, kFur, p.headAngle);
    pen.Ellipse(p.headX - 8.0f, p.headY + 3.5f, 6.0f, 4.8f, kBelly, p.headAngle);
    pen.Ellipse(p.headX + 4.0f, p.headY + 4.0f, 5.0f, 3.5f, kFurLight, p.headAngle);
    ear(earBaseX, earBaseY, p.earBack, p.earLength, kFur, true);

    const float ex = p.headX - 5.5f, ey = p.headY - 2.0f;
    switch (p.eyes) {
        case Eyes::kOpen:
            pen.Ellipse(ex, ey, 2.4f, 2.8f, kEye);
            pen.Disc(ex - 0.8f, ey - 1.0f, 0.9f, Hex(0xFFFFFF));
            break;
        case Eyes::kWide:
            pen.Disc(ex, ey, 3.4f, Hex(0xFFFFFF));
            pen.Disc(ex - 0.6f, ey, 1.5f, kEye);
            break;
        case Eyes::kCrossed:
            pen.Line(ex - 2.6f, ey - 2.6f, ex + 2.6f, ey + 2.6f, 1.4f, kEye);
            pen.Line(ex - 2.6f, ey + 2.6f, ex + 2.6f, ey - 2.6f, 1.4f, kEye);
            break;
    }
    pen.Ellipse(p.headX - 12.0f, p.headY + 1.5f, 1.9f, 1.5f, kNose);
    pen.Line(p.headX - 10.0f, p.headY + 4.5f, p.headX - 17.0f, p.headY + 3.0f, 0.5f, kLine);
    pen.Line(p.headX - 10.0f, p.headY + 5.5f, p.headX - 16.0f, p.headY + 7.5f, 0.5f, kLine);
}

BunnyPose Sitting() {
    BunnyPose p{};
    p.bodyX = 2.0f;
    p.bodyY = -22.0f;
    p.bodyRx = 17.0f;
    p.bodyRy = 20.0f;
    p.bodyAngle = -0.25f;
    p.haunchX = 8.0f;
    p.haunchY = -13.0f;
    p.haunchR = 13.5f;
    p.headX = -15.0f;
    p.headY = -44.0f;
    p.headAngle = 0.0f;
    p.earBack = 0.22f;
    p.earFar = 0.42f;
    p.earLength = 30.0f;
    p.footX = -1.0f;
    p.footY = -3.5f;
    p.footAngle = 0.0f;
    p.shoulderX = -10.0f;
    p.shoulderY = -22.0f;
    p.pawX = -14.0f;
    p.pawY = -4.0f;
    p.tailX = 20.0f;
    p.tailY = -12.0f;
    p.eyes = Eyes::kOpen;
    return p;
}

BunnyPose Crouching() {
    BunnyPose p = Sitting();
    p.bodyX = 3.0f;
    p.bodyY = -16.0f;
    p.bodyRx = 21.0f;
    p.bodyRy = 15.0f;
    p.bodyAngle = 0.05f;
    p.haunchX = 11.0f;
    p.haunchY = -11.0f;
    p.haunchR = 12.5f;
    p.headX = -20.0f;
    p.headY = -28.0f;
    p.earBack = 1.05f;
    p.earFar = 1.2f;
    p.earLength = 28.0f;
    p.shoulderX = -12.0f;
    p.shoulderY = -14.0f;
    p.pawX = -19.0f;
    p.pawY = -3.0f;
    p.tailX = 24.0f;
    p.tailY = -12.0f;
    return p;
}

BunnyPose Hopping() {
    BunnyPose p = Sitting();
    p.bodyX = 0.0f;
    p.bodyY = -40.0f;
    p.bodyRx = 25.0f;
    p.bodyRy = 12.5f;
    p.bodyAngle = 0.38f;
    p.haunchX = 15.0f;
    p.haunchY = -32.0f;
    p.haunchR = 11.0f;
    p.headX = -27.0f;
    p.headY = -54.0f;
    p.headAngle = -0.2f;
    p.earBack = 1.25f;
    p.earFar = 1.4f;
    p.earLength = 28.0f;
    p.footX = 30.0f;
    p.footY = -20.0f;
    p.footAngle = 0.75f;
    p.shoulderX = -15.0f;
    p.shoulderY = -42.0f;
    p.pawX = -28.0f;
    p.pawY = -32.0f;
    p.tailX = 26.0f;
    p.tailY = -44.0f;
    return p;
}

BunnyPose Struck() {
    BunnyPose p = Sitting();
    p.bodyAngle = -0.05f;
    p.bodyX = 3.0f;
    p.headX = -12.0f;
    p.headY = -46.0f;
    p.headAngle = 0.15f;
    p.earBack = -0.35f;
    p.earFar = 0.75f;
    p.earLength = 30.0f;
    p.pawX = -18.0f;
    p.pawY = -16.0f;
    p.eyes = Eyes::kWide;
    return p;
}

// A bright burst marking the moment of the hit.
void DrawBurst(Canvas& big, float cx, float cy, float r) {
    const Rgb outer = Hex(0xFFE24A), inner = Hex(0xFFFFF0);
    for (int k = 0; k < 8; ++k) {
        const float a = k * 3.14159265f / 4.0f + 0.2f;
        const float len = (k % 2 ? 0.7f : 1.0f) * r;
        big.Line(cx, cy, cx + std::cos(a) * len, cy + std::sin(a) * len, r * 0.22f, outer);
    }
    big.Disc(cx, cy, r * 0.3f, inner);
}

// Draws the pose into a cell-sized image: frames that stand keep a fixed
// ground point; turned frames are placed by their bounding box so that the
// falling body stays inside its cell and rests on the same ground line.
Canvas BunnyCell(const BunnyPose& pose, float turn, bool fitBox, bool burst) {
    const int f = kSuper;
    const float scale = 1.0f;
    const int cell = 96;
    Canvas big(3 * cell * f, 3 * cell * f, kKey);
    Pen pen{&big, 1.5f * cell * f, 2.0f * cell * f, scale * f, turn, 16.0f, 0.0f};
    DrawBunny(pen, pose);
    int x0 = big.Width(), y0 = big.Height(), x1 = -1, y1 = -1;
    for (int y = 0; y < big.Height(); ++y)
        for (int x = 0; x < big.Width(); ++x)
            if (!(big.Get(x, y) == kKey)) {
                x0 = std::min(x0, x);
                x1 = std::max(x1, x);
                y0 = std::min(y0, y);
                y1 = std::max(y1, y);
            }
    const int ground = 89 * f;
    int shiftX, shiftY;
    if (fitBox) {
        shiftX = 48 * f - (x0 + x1 + 1) / 2;
        shiftY = ground - (y1 + 1);
    } else {
        shiftX = 52 * f - static_cast<int>(pen.originX);
        shiftY = ground - static_cast<int>(pen.originY);
    }
    Canvas placed(cell * f, cell * f, kKey);
    for (int y = 0; y < cell * f; ++y)
        for (int x = 0; x < cell * f; ++x) placed.Set(x, y, big.Get(x - shiftX, y - shiftY));
    if (burst) DrawBurst(placed, 48.0f * f, 52.0f * f, 13.0f * f);
    Canvas small = placed.Downsample(f);
    small.Outline(kLine);
    return small;
}

}  // namespace

Canvas MakeBunny() {
    Canvas sheet(288, 288, kKey);
    auto put = [&](int frame, const Canvas& cell) {
        sheet.Paste(cell, (frame % 3) * 96, (frame / 3) * 96, true);
    };
    put(0, BunnyCell(Sitting(), 0.0f, false, false));
    put(1, BunnyCell(Crouching(), 0.0f, false, false));
    put(2, BunnyCell(Hopping(), 0.0f, false, false));
    put(3, BunnyCell(Struck(), 0.0f, true, true));
    // Falling over backwards: the struck pose turns about its back foot, the
    // ears go limp and the eyes close.
    const float turns[4] = {0.4f, 0.8f, 1.2f, 1.5f};
    for (int k = 0; k < 4; ++k) {
        BunnyPose p = Struck();
        // The ears trail behind the turn, so they swing forward in the body's frame.
        p.earBack = -0.35f - 0.12f * (k + 1);
        p.earFar = 0.6f - 0.15f * (k + 1);
        if (k >= 2) p.headX += 5.0f;
        p.pawX = -18.0f + 2.0f * k;
        p.eyes = k < 2 ? Eyes::kWide : Eyes::kCrossed;
        put(4 + k, BunnyCell(p, turns[k], true, false));
    }
    BunnyPose dead = Struck();
    dead.earBack = 0.05f;
    dead.earFar = 0.3f;
    dead.headX += 6.0f;
    dead.pawX = -6.0f;
    dead.pawY = -20.0f;
    dead.eyes = Eyes::kCrossed;
    put(8, BunnyCell(dead, 1.62f, true, false));
    return sheet;
}

}  // namespace assetgen
