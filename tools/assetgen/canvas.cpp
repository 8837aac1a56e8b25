#include "tools/assetgen/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/core/png.h"

namespace assetgen {

namespace {

std::uint8_t Clamp8(float v) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

float Smooth(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

Rgb Mix(Rgb a, Rgb b, float t) {
    return {Clamp8(a.r + (b.r - a.r) * t), Clamp8(a.g + (b.g - a.g) * t),
            Clamp8(a.b + (b.b - a.b) * t)};
}

Rgb Scale(Rgb c, float f) { return {Clamp8(c.r * f), Clamp8(c.g * f), Clamp8(c.b * f)}; }

Rgb Hex(std::uint32_t v) {
    return {static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 8),
            static_cast<std::uint8_t>(v)};
}

std::uint32_t Rng::Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Rng::Unit() { return static_cast<float>(Next() >> 8) / 16777216.0f; }

float Rng::Range(float lo, float hi) { return lo + (hi - lo) * Unit(); }

int Rng::Int(int n) {
    return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint32_t>(n));
}

Noise::Noise(std::uint32_t seed, int period) : seed_(seed), period_(std::max(1, period)) {}

float Noise::Lattice(int x, int y) const {
    x = ((x % period_) + period_) % period_;
    y = ((y % period_) + period_) % period_;
    std::uint32_t h = seed_ ^ (static_cast<std::uint32_t>(x) * 374761393u) ^
                      (static_cast<std::uint32_t>(y) * 668265263u);
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFF) / 65536.0f;
}

float Noise::At(float x, float y) const {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    const float tx = Smooth(x - fx), ty = Smooth(y - fy);
    const float a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
    const float c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float Noise::Fractal(float x, float y, int octaves) const {
    // Each octave doubles the lattice frequency; the period doubles with it so
    // that the sum still tiles with the first octave's period.
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        Noise layer(seed_ + 7919u * static_cast<std::uint32_t>(o), period_ << o);
        sum += amp * layer.At(x * static_cast<float>(1 << o), y * static_cast<float>(1 << o));
        norm += amp;
        amp *= 0.5f;
    }
    return sum / norm;
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width),
      height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

Rgb Canvas::Get(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return kKey;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void Canvas::Set(int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[static_cast<std::size_t>(y) * width_ + x] = c;
}

void Canvas::Blend(int x, int y, Rgb c, float a) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Rgb& p = pixels_[static_cast<std::size_t>(y) * width_ + x];
    p = Mix(p, c, std::clamp(a, 0.0f, 1.0f));
}

void Canvas::FillRect(int x, int y, int w, int h, Rgb c) {
    for (int j = std::max(0, y); j < std::min(height_, y + h); ++j)
        for (int i = std::max(0, x); i < std::min(width_, x + w); ++i) Set(i, j, c);
}

void Canvas::Frame(int x, int y, int w, int h, Rgb c) {
    FillRect(x, y, w, 1, c);
    FillRect(x, y + h - 1, w, 1, c);
    FillRect(x, y, 1, h, c);
    FillRect(x + w - 1, y, 1, h, c);
}

void Canvas::Ellipse(float cx, float cy, float rx, float ry, Rgb c, float angle) {
    if (rx <= 0.0f || ry <= 0.0f) return;
    const float r = std::max(rx, ry);
    const float ca = std::cos(angle), sa = std::sin(angle);
    const int x0 = static_cast<int>(std::floor(cx - r)), x1 = static_cast<int>(std::ceil(cx + r));
    const int y0 = static_cast<int>(std::floor(cy - r)), y1 = static_cast<int>(std::ceil(cy + r));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float u = (dx * ca + dy * sa) / rx, v = (-dx * sa + dy * ca) / ry;
            if (u * u + v * v <= 1.0f) Set(x, y, c);
        }
    }
}

void Canvas::Ring(float cx, float cy, float r0, float r1, Rgb c) {
    const int x0 = static_cast<int>(std::floor(cx - r1)), x1 = static_cast<int>(std::ceil(cx + r1));
    const int y0 = static_cast<int>(std::floor(cy - r1)), y1 = static_cast<int>(std::ceil(cy + r1));
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float d2 = dx * dx + dy * dy;
            if (d2 >= r0 * r0 && d2 <= r1 * r1) Set(x, y, c);
        }
    }
}

void Canvas::Polygon(const float* xy, int n, Rgb c) {
    if (n < 3) return;
    float ymin = xy[1], ymax = xy[1];
    for (int i = 1; i < n; ++i) {
        ymin = std::min(ymin, xy[2 * i + 1]);
        ymax = std::max(ymax, xy[2 * i + 1]);
    }
    std::vector<float> xs;
    for (int y = static_cast<int>(std::floor(ymin)); y <= static_cast<int>(std::ceil(ymax)); ++y) {
        const float sy = y + 0.5f;
        xs.clear();
        for (int i = 0; i < n; ++i) {
            const float ax = xy[2 * i], ay = xy[2 * i + 1];
            const float bx = xy[2 * ((i + 1) % n)], by = xy[2 * ((i + 1) % n) + 1];
            if ((ay <= sy && by > sy) || (by <= sy && ay > sy))
                xs.push_back(ax + (sy - ay) / (by - ay) * (bx - ax));
        }
        std::sort(xs.begin(), xs.end());
        for (std::size_t k = 0; k + 1 < xs.size(); k += 2) {
            const int xa = static_cast<int>(std::ceil(xs[k] - 0.5f));
            const int xb = static_cast<int>(std::floor(xs[k + 1] - 0.5f));
            for (int x = xa; x <= xb; ++x) Set(x, y, c);
        }
    }
}

void Canvas::Triangle(float x0, float y0, float x1, float y1, float x2, float y2, Rgb c) {
    const float p[6] = {x0, y0, x1, y1, x2, y2};
    Polygon(p, 3, c);
}

void Canvas::Line(float x0, float y0, float x1, float y1, float thickness, Rgb c) {
    const float r = thickness * 0.5f;
    const int xa = static_cast<int>(std::floor(std::min(x0, x1) - r));
    const int xb = static_cast<int>(std::ceil(std::max(x0, x1) + r));
    const int ya = static_cast<int>(std::floor(std::min(y0, y1) - r));
    const int yb = static_cast<int>(std::ceil(std::max(y0, y1) + r));
    const float dx = x1 - x0, dy = y1 - y0, len2 = dx * dx + dy * dy;
    for (int y = ya; y <= yb; ++y) {
        for (int x = xa; x <= xb; ++x) {
            const float px = x + 0.5f - x0, py = y + 0.5f - y0;
            float t = len2 > 0.0f ? (px * dx + py * dy) / len2 : 0.0f;
            t = std::clamp(t, 0.0f, 1.0f);
            const float ex = px - t * dx, ey = py - t * dy;
            if (ex * ex + ey * ey <= r * r) Set(x, y, c);
        }
    }
}

void Canvas::Paste(const Canvas& src, int x, int y, bool keyed) {
    for (int j = 0; j < src.Height(); ++j)
        for (int i = 0; i < src.Width(); ++i) {
            const Rgb p = src.Get(i, j);
            if (!keyed || !(p == kKey)) Set(x + i, y + j, p);
        }
}

void Canvas::FlipX() {
    for (int y = 0; y < height_; ++y)
        std::reverse(pixels_.begin() + static_cast<std::ptrdiff_t>(y) * width_,
                     pixels_.begin() + static_cast<std::ptrdiff_t>(y + 1) * width_);
}

void Canvas::Outline(Rgb c) {
    const Canvas before = *this;
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) {
            if (!(before.Get(x, y) == kKey)) continue;
            const bool touches = !(before.Get(x - 1, y) == kKey) ||
                                 !(before.Get(x + 1, y) == kKey) ||
                                 !(before.Get(x, y - 1) == kKey) || !(before.Get(x, y + 1) == kKey);
            if (touches) Set(x, y, c);
        }
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes,
               std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f != nullptr;
    if (ok) ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (f != nullptr && std::fclose(f) != 0) ok = false;
    if (!ok && error) *error = "cannot write " + path;
    return ok;
}

Canvas Canvas::Downsample(int f) const {
    // A pixel is opaque when at least half of its f x f samples are; its colour
    // is the mean of the opaque samples, so edges never pick up the key colour.
    Canvas out(width_ / f, height_ / f, kKey);
    for (int y = 0; y < out.height_; ++y)
        for (int x = 0; x < out.width_; ++x) {
            int n = 0, r = 0, g = 0, b = 0;
            for (int j = 0; j < f; ++j)
                for (int i = 0; i < f; ++i) {
                    const Rgb p = Get(x * f + i, y * f + j);
                    if (p == kKey) continue;
                    ++n;
                    r += p.r;
                    g += p.g;
                    b += p.b;
                }
            if (2 * n >= f * f && n > 0)
                out.Set(x, y,
                        {static_cast<std::uint8_t>((r + n / 2) / n),
                         static_cast<std::uint8_t>((g + n / 2) / n),
                         static_cast<std::uint8_t>((b + n / 2) / n)});
        }
    return out;
}

void Pen::Map(float x, float y, float* ox, float* oy) const {
    const float c = std::cos(angle), s = std::sin(angle);
    const float dx = x - pivotX, dy = y - pivotY;
    *ox = originX + (pivotX + dx * c - dy * s) * scale;
    *oy = originY + (pivotY + dx * s + dy * c) * scale;
}

void Pen::Ellipse(float cx, float cy, float rx, float ry, Rgb c, float a) const {
    float x, y;
    Map(cx, cy, &x, &y);
    canvas->Ellipse(x, y, rx * scale, ry * scale, c, a + angle);
}

void Pen::Line(float x0, float y0, float x1, float y1, float t, Rgb c) const {
    float ax, ay, bx, by;
    Map(x0, y0, &ax, &ay);
    Map(x1, y1, &bx, &by);
    canvas->Line(ax, ay, bx, by, t * scale, c);
}

void Pen::Polygon(std::initializer_list<float> xy, Rgb c) const {
    std::vector<float> p(xy);
    for (std::size_t i = 0; i + 1 < p.size(); i += 2) Map(p[i], p[i + 1], &p[i], &p[i + 1]);
    canvas->Polygon(p.data(), static_cast<int>(p.size() / 2), c);
}

bool WriteBmp(const Canvas& c, const std::string& path, std::string* error) {
    std::vector<std::uint32_t> argb;
    argb.reserve(c.Pixels().size());
    for (const Rgb& p : c.Pixels())
        argb.push_back(0xFF000000u | (std::uint32_t{p.r} << 16) | (std::uint32_t{p.g} << 8) | p.b);
    return platform::SaveBmp(path, argb.data(), c.Width(), c.Height(), error);
}

}  // namespace assetgen
