// The title menu's images: the logo, the mouse pointer and the frame around
// the chosen level's thumbnail.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/assetgen/art.h"

namespace assetgen {

namespace {

// A set of pixels, for shapes grown or moved before they are painted.
class Mask {
  public:
    Mask(int width, int height)
        : width_(width), height_(height), on_(static_cast<std::size_t>(width) * height, 0) {}
    bool At(int x, int y) const {
        return x >= 0 && y >= 0 && x < width_ && y < height_ &&
               on_[static_cast<std::size_t>(y) * width_ + x];
    }
    void Set(int x, int y) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_)
            on_[static_cast<std::size_t>(y) * width_ + x] = 1;
    }
    // Every pixel within `r` (a disc) of one of this mask's, moved by (dx, dy).
    Mask Grown(int r, int dx, int dy) const {
        Mask out(width_, height_);
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                if (!At(x, y)) continue;
                for (int j = -r; j <= r; ++j)
                    for (int i = -r; i <= r; ++i)
                        if (i * i + j * j <= r * r + r) out.Set(x + i + dx, y + j + dy);
            }
        return out;
    }

  private:
    int width_, height_;
    std::vector<unsigned char> on_;
};

}  // namespace

Canvas MakeTitle() {
    // "VELMOR" in bold round-ended strokes (drawn 4 times larger, then each
    // pixel is in a letter when half its samples are), one colour a letter
    // across the rainbow. The letters are lit from the top left (a light bevel
    // there, a dark one bottom and right) and sit in a dark outline over a
    // violet drop shadow, so they read on the black menu and on anything else.
    constexpr int kWidth = 512, kHeight = 96, kSuper = 4;
    constexpr float kStroke = 14.0f, kTall = 68.0f, kGap = 15.0f;
    const Rgb kHues[6] = {Hex(0xFF3B3B), Hex(0xFF8C1A), Hex(0xFFD21F),
                          Hex(0x3DDC5A), Hex(0x2FA8FF), Hex(0xA85CFF)};
    // Each letter's strokes as polylines in a box kTall high; the centre
    // lines, so a letter is its width plus one stroke wide.
    struct Letter {
        float width;
        std::vector<std::vector<float>> strokes;  // x, y, x, y, ...
    };
    const float h = kTall, m = kTall / 2.0f;
    std::vector<float> bowl = {0.0f, 0.0f, 30.0f, 0.0f};  // R's bowl, rounded on the right
    for (int i = 1; i < 12; ++i) {
        const float a = 3.14159265f * (static_cast<float>(i) / 12.0f - 0.5f);
        bowl.push_back(30.0f + 17.0f * std::cos(a));
        bowl.push_back(m / 2.0f + m / 2.0f * std::sin(a));
    }
    bowl.insert(bowl.end(), {30.0f, m, 0.0f, m});
    const Letter letters[6] = {
        {54.0f, {{0.0f, 0.0f, 27.0f, h, 54.0f, 0.0f}}},
        {42.0f, {{42.0f, 0.0f, 0.0f, 0.0f, 0.0f, h, 42.0f, h}, {0.0f, m, 32.0f, m}}},
        {40.0f, {{0.0f, 0.0f, 0.0f, h, 40.0f, h}}},
        {58.0f, {{0.0f, h, 0.0f, 0.0f, 29.0f, m + 6.0f, 58.0f, 0.0f, 58.0f, h}}},
        {52.0f,
         {{12.0f, 0.0f, 40.0f, 0.0f, 52.0f, 12.0f, 52.0f, h - 12.0f, 40.0f, h, 12.0f, h, 0.0f,
           h - 12.0f, 0.0f, 12.0f, 12.0f, 0.0f}}},
        {47.0f, {{0.0f, h, 0.0f, 0.0f}, bowl, {24.0f, m, 47.0f, h}}},
    };
    float total = 5.0f * kGap;
    for (const Letter& l : letters) total += l.width + kStroke;
    const float top = 3.0f + kStroke / 2.0f;
    float left = (kWidth - total) / 2.0f - 2.0f + kStroke / 2.0f;

    Canvas big(kWidth * kSuper, kHeight * kSuper, kKey);
    float starts[7];  // where each letter's pixels begin, across
    for (int k = 0; k < 6; ++k) {
        starts[k] = left - kStroke / 2.0f - kGap / 2.0f;
        const Pen pen{&big, left * kSuper, top * kSuper, static_cast<float>(kSuper)};
        for (const std::vector<float>& line : letters[k].strokes)
            for (std::size_t i = 2; i + 1 < line.size(); i += 2)
                pen.Line(line[i - 2], line[i - 1], line[i], line[i + 1], kStroke, Hex(0xFFFFFF));
        left += letters[k].width + kStroke + kGap;
    }
    starts[6] = kWidth;
    const Canvas covered = big.Downsample(kSuper);
    Mask inLetter(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (!(covered.Get(x, y) == kKey)) inLetter.Set(x, y);
    const Mask outline = inLetter.Grown(3, 0, 0);
    const Mask shadow = inLetter.Grown(3, 4, 4);

    Canvas c(kWidth, kHeight, kKey);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (!inLetter.At(x, y)) {
                if (outline.At(x, y))
                    c.Set(x, y, Hex(0x1C1030));
                else if (shadow.At(x, y))
                    c.Set(x, y, Hex(0x5B2C8F));
                continue;
            }
            int k = 0;
            while (k < 5 && x >= starts[k + 1]) ++k;
            const float t =
                std::clamp((y + 0.5f - (top - kStroke / 2.0f)) / (kTall + kStroke), 0.0f, 1.0f);
            Rgb p = Mix(Mix(kHues[k], Hex(0xFFFFFF), 0.3f), Scale(kHues[k], 0.78f), t);
            auto edge = [&](int dx, int dy) {
                for (int d = 1; d <= 2; ++d)
                    if (!inLetter.At(x + dx * d, y + dy * d)) return true;
                return false;
            };
            if (edge(0, -1) || edge(-1, 0))
                p = Mix(p, Hex(0xFFFFFF), 0.45f);
            else if (edge(0, 1) || edge(1, 0))
                p = Scale(p, 0.6f);
            c.Set(x, y, p);
        }
    return c;
}

Canvas MakePointer() {
    // The arrow is filled dark, then everything but a one-pixel rim is
    // painted white: the tip, the hot spot, is pixel (0, 0).
    Canvas c(32, 32, kKey);
    const float arrow[] = {0.0f,  0.0f,  0.0f,  27.0f, 6.8f,  20.8f, 11.2f,
                           30.5f, 15.6f, 28.6f, 11.3f, 19.4f, 20.0f, 19.4f};
    const Rgb dark = Hex(0x141418), white = Hex(0xFFFFFF);
    c.Polygon(arrow, 7, dark);
    c.Set(0, 0, dark);
    const Canvas filled = c;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            bool inner = !(filled.Get(x, y) == kKey);
            for (int j = -1; j <= 1 && inner; ++j)
                for (int i = -1; i <= 1 && inner; ++i) inner = !(filled.Get(x + i, y + j) == kKey);
            if (inner) c.Set(x, y, white);
        }
    return c;
}

Canvas MakeMenuFrame() {
    // A 6-pixel gold band with rounded outer corners around a keyed 128 x 96
    // window at (6, 6): dark edges outside and inside, a bright ridge in the
    // middle, lighter on the top and left sides than on the bottom and right.
    constexpr int kWidth = 140, kHeight = 108, kBand = 6;
    constexpr float kRadius = 6.0f;
    const Rgb ramp[kBand] = {Hex(0x5C3B08), Hex(0xC98E1A), Hex(0xFFE684),
                             Hex(0xF7C33C), Hex(0xD29419), Hex(0x4A2F06)};
    Canvas c(kWidth, kHeight, kKey);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            // How far the pixel's centre lies in from the outer edge, which is
            // rounded at the corners.
            const float px = x + 0.5f, py = y + 0.5f;
            const float cx = std::clamp(px, kRadius, kWidth - kRadius);
            const float cy = std::clamp(py, kRadius, kHeight - kRadius);
            const float d = (cx == px || cy == py)
                                ? std::min(std::min(px, py), std::min(kWidth - px, kHeight - py))
                                : kRadius - std::hypot(px - cx, py - cy);
            if (d <= 0.0f || d >= kBand) continue;
            const Rgb p = ramp[static_cast<int>(d)];
            const bool lit = px / kWidth + py / kHeight < 1.0f;  // the top and left sides
            c.Set(x, y, lit ? p : Scale(p, 0.82f));
        }
    return c;
}

}  // namespace assetgen
