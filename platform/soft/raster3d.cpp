#include "platform/soft/raster3d.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace platform::soft {

namespace {

// The guard band: clip-space x and y are held to |x|, |y| <= kGuard * w, so
// screen coordinates stay within a few screen widths of the screen.
constexpr float kGuard = 8.0f;
constexpr int kSubBits = 8;
constexpr std::int64_t kSub = std::int64_t{1} << kSubBits;

// Clip space in double: intersections of huge triangles with the guard band
// keep their precision.
struct ClipVertex {
    double x, y, z, w, u, v;
};

// Screen position in 1/256 pixel, depth and the perspective-divided
// attributes (1/w, u/w, v/w).
struct ScreenVertex {
    std::int64_t X, Y;
    float z, iw, uw, vw;
};

constexpr int kPlaneCount = 7;

// Signed distance to each clipping plane; inside where >= 0. NaN is outside
// every plane, so a broken vertex rejects its triangle.
inline double PlaneDistance(int plane, const ClipVertex& c) {
    switch (plane) {
        case 0:
            return c.z;  // near
        case 1:
            return c.w - c.z;  // far
        case 2:
            return c.w - 1e-30;  // in front of the eye
        case 3:
            return kGuard * c.w - c.x;
        case 4:
            return kGuard * c.w + c.x;
        case 5:
            return kGuard * c.w - c.y;
        default:
            return kGuard * c.w + c.y;
    }
}

inline unsigned OutCode(const ClipVertex& c) {
    unsigned code = 0;
    for (int p = 0; p < kPlaneCount; ++p)
        if (!(PlaneDistance(p, c) >= 0.0)) code |= 1u << p;
    return code;
}

inline ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
            a.w + (b.w - a.w) * t, a.u + (b.u - a.u) * t, a.v + (b.v - a.v) * t};
}

inline ScreenVertex ToScreen(const ClipVertex& c, double halfW, double halfH) {
    const double iw = 1.0 / c.w;
    const double sx = (c.x * iw + 1.0) * halfW;
    const double sy = (1.0 - c.y * iw) * halfH;
    return {static_cast<std::int64_t>(std::floor(sx * kSub + 0.5)),
            static_cast<std::int64_t>(std::floor(sy * kSub + 0.5)),
            static_cast<float>(c.z * iw),
            static_cast<float>(iw),
            static_cast<float>(c.u * iw),
            static_cast<float>(c.v * iw)};
}

inline std::int64_t FloorDiv(std::int64_t a) { return a >> kSubBits; }  // arithmetic shift
inline std::int64_t CeilDiv(std::int64_t a) { return -((-a) >> kSubBits); }
// Floor and ceiling of n / d for d > 0, exact: a division in double (far
// cheaper than a 64-bit integer one) corrected by the integer test.
inline std::int64_t FloorDivBy(std::int64_t n, std::int64_t d) {
    auto q = static_cast<std::int64_t>(static_cast<double>(n) / static_cast<double>(d));
    while (q * d > n) --q;
    while ((q + 1) * d <= n) ++q;
    return q;
}
inline std::int64_t CeilDivBy(std::int64_t n, std::int64_t d) { return -FloorDivBy(-n, d); }

// One edge p -> q as a function of the pixel (px, py):
// E = dx * (py * kSub - p.Y) - dy * (px * kSub - p.X) = a * px + b * py + c.
using Edge = TriangleSetup::Edge;

inline Edge MakeEdge(const ScreenVertex& p, const ScreenVertex& q) {
    const std::int64_t dx = q.X - p.X, dy = q.Y - p.Y;
    // Top edge: horizontal with the inside below; left edge: going up.
    const bool topLeft = (dy == 0 && dx > 0) || dy < 0;
    return {-dy * kSub, dx * kSub, -dx * p.Y + dy * p.X, topLeft ? 0 : -1};
}

// An attribute as a plane over pixel coordinates: value = A * px + B * py + C.
using Plane = TriangleSetup::Plane;

inline Plane MakePlane(float a0, float a1, float a2, const Edge& e1, const Edge& e2, double inv) {
    const double d1 = (static_cast<double>(a1) - a0) * inv,
                 d2 = (static_cast<double>(a2) - a0) * inv;
    return {d1 * e1.a + d2 * e2.a, d1 * e1.b + d2 * e2.b, a0 + d1 * e1.c + d2 * e2.c};
}

inline std::uint32_t Modulate(std::uint32_t t, std::uint32_t c) {
    std::uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t p = ((t >> shift) & 0xFF) * ((c >> shift) & 0xFF) + 128;
        out |= ((p + (p >> 8)) >> 8) << shift;
    }
    return out;
}

// The texel index for coordinate u on a texture `size` texels wide (wrap):
// floor(u * size) modulo size, without a library call per pixel.
inline int Wrap(float u, int size, bool pow2) {
    const float f = u * static_cast<float>(size);
    if (!(f > -1.0e9f && f < 1.0e9f)) return 0;  // far out or NaN
    int i = static_cast<int>(f);
    if (static_cast<float>(i) > f) --i;
    if (pow2) return i & (size - 1);
    const int m = i % size;
    return m < 0 ? m + size : m;
}

inline bool IsTextured(const RasterState& state) {
    return state.texels && state.textureWidth > 0 && state.textureHeight > 0;
}

bool SetUpTriangle(const RasterTarget& target, bool textured, const ScreenVertex& v0,
                   const ScreenVertex& v1, const ScreenVertex& v2, TriangleSetup* t) {
    const std::int64_t area = (v1.X - v0.X) * (v2.Y - v0.Y) - (v1.Y - v0.Y) * (v2.X - v0.X);
    if (area <= 0) return false;  // counter-clockwise (culled) or degenerate
    const std::int64_t minX = std::min({v0.X, v1.X, v2.X}), maxX = std::max({v0.X, v1.X, v2.X});
    const std::int64_t minY = std::min({v0.Y, v1.Y, v2.Y}), maxY = std::max({v0.Y, v1.Y, v2.Y});
    t->x0 = static_cast<int>(std::max<std::int64_t>(0, CeilDiv(minX)));
    t->x1 = static_cast<int>(std::min<std::int64_t>(target.width - 1, FloorDiv(maxX)));
    t->y0 = static_cast<int>(std::max<std::int64_t>(0, CeilDiv(minY)));
    t->y1 = static_cast<int>(std::min<std::int64_t>(target.height - 1, FloorDiv(maxY)));
    if (t->x0 > t->x1 || t->y0 > t->y1) return false;

    t->e0 = MakeEdge(v1, v2);
    t->e1 = MakeEdge(v2, v0);
    t->e2 = MakeEdge(v0, v1);
    const double inv = 1.0 / static_cast<double>(area);
    t->z = MakePlane(v0.z, v1.z, v2.z, t->e1, t->e2, inv);
    if (textured) {
        t->iw = MakePlane(v0.iw, v1.iw, v2.iw, t->e1, t->e2, inv);
        t->u = MakePlane(v0.uw, v1.uw, v2.uw, t->e1, t->e2, inv);
        t->v = MakePlane(v0.vw, v1.vw, v2.vw, t->e1, t->e2, inv);
    } else {
        t->iw = t->u = t->v = Plane{};
    }
    return true;
}

}  // namespace

void FillTriangleRows(const RasterTarget& target, const RasterState& state, const TriangleSetup& t,
                      int yBegin, int yEnd) {
    const int x0 = t.x0, x1 = t.x1;
    const int y0 = std::max(t.y0, yBegin), y1 = std::min(t.y1, yEnd - 1);
    const Edge &e0 = t.e0, &e1 = t.e1, &e2 = t.e2;
    const Plane &pz = t.z, &piw = t.iw, &pu = t.u, &pv = t.v;
    const bool textured = IsTextured(state);
    const int tw = state.textureWidth, th = state.textureHeight;
    const bool tw2 = (tw & (tw - 1)) == 0, th2 = (th & (th - 1)) == 0;
    const std::uint32_t flat = state.color | 0xFF000000u;

    for (int py = y0; py <= y1; ++py) {
        // The row's covered span, exactly: where all three edge functions
        // (with their fill-rule bias) are >= 0.
        std::int64_t lo = x0, hi = x1;
        for (const Edge* e : {&e0, &e1, &e2}) {
            const std::int64_t k = e->b * py + e->c + e->bias;
            if (e->a > 0) {
                lo = std::max(lo, CeilDivBy(-k, e->a));
            } else if (e->a < 0) {
                hi = std::min(hi, FloorDivBy(k, -e->a));
            } else if (k < 0) {
                hi = lo - 1;
            }
        }
        if (lo > hi) continue;
        const int first = static_cast<int>(lo), last = static_cast<int>(hi);
        float z = static_cast<float>(pz.A * first + pz.B * py + pz.C);
        const float dz = static_cast<float>(pz.A);
        const std::size_t row = static_cast<std::size_t>(py) * target.width;
        float* depthRow = target.depth + row;
        std::uint32_t* pixelRow = target.pixels + row;
        if (!textured) {
            for (int px = first; px <= last; ++px, z += dz) {
                const float depth = std::clamp(z, 0.0f, 1.0f);
                if (state.depthTest) {
                    if (!(depth <= depthRow[px])) continue;
                    depthRow[px] = depth;
                }
                pixelRow[px] = flat;
            }
            continue;
        }
        float iw = static_cast<float>(piw.A * first + piw.B * py + piw.C);
        float uw = static_cast<float>(pu.A * first + pu.B * py + pu.C);
        float vw = static_cast<float>(pv.A * first + pv.B * py + pv.C);
        const float diw = static_cast<float>(piw.A), du = static_cast<float>(pu.A),
                    dv = static_cast<float>(pv.A);
        for (int px = first; px <= last; ++px, z += dz, iw += diw, uw += du, vw += dv) {
            const float depth = std::clamp(z, 0.0f, 1.0f);
            if (state.depthTest) {
                if (!(depth <= depthRow[px])) continue;
                depthRow[px] = depth;
            }
            const float w = 1.0f / iw;
            const int tx = Wrap(uw * w, tw, tw2), ty = Wrap(vw * w, th, th2);
            pixelRow[px] = Modulate(state.texels[static_cast<std::size_t>(ty) * tw + tx], flat);
        }
    }
}

namespace {

// Transforms, clips and culls the triangles, handing each visible one's
// set-up to `emit` in draw order.
template <class Emit>
void ForEachTriangle(const RasterTarget& target, const RasterState& state,
                     const RasterVertex* vertices, std::size_t vertexCount,
                     const std::uint32_t* indices, std::size_t triangleCount, Emit&& emit) {
    if (!target.pixels || !target.depth || target.width <= 0 || target.height <= 0) return;
    if (!vertices || !indices) return;
    const bool textured = IsTextured(state);
    TriangleSetup setup;
    auto fill = [&](const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
        if (SetUpTriangle(target, textured, a, b, c, &setup)) emit(setup);
    };
    thread_local std::vector<ClipVertex> clip;
    thread_local std::vector<unsigned> codes;
    thread_local std::vector<ScreenVertex> screen;
    clip.resize(vertexCount);
    codes.resize(vertexCount);
    screen.resize(vertexCount);
    const double halfW = target.width * 0.5, halfH = target.height * 0.5;
    const auto& m = state.matrix;
    for (std::size_t i = 0; i < vertexCount; ++i) {
        const RasterVertex& v = vertices[i];
        ClipVertex& c = clip[i];
        c.x = v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0] + m[3][0];
        c.y = v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1] + m[3][1];
        c.z = v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2] + m[3][2];
        c.w = v.x * m[0][3] + v.y * m[1][3] + v.z * m[2][3] + m[3][3];
        if (!std::isfinite(c.x + c.y + c.z + c.w)) c.w = std::numeric_limits<double>::quiet_NaN();
        c.u = v.u;
        c.v = v.v;
        codes[i] = OutCode(c);
        if (codes[i] == 0) screen[i] = ToScreen(c, halfW, halfH);
    }
    for (std::size_t t = 0; t < triangleCount; ++t) {
        const std::uint32_t i0 = indices[3 * t], i1 = indices[3 * t + 1], i2 = indices[3 * t + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount) continue;
        const unsigned c0 = codes[i0], c1 = codes[i1], c2 = codes[i2];
        if (c0 & c1 & c2) continue;  // wholly outside one plane
        if ((c0 | c1 | c2) == 0) {
            fill(screen[i0], screen[i1], screen[i2]);
            continue;
        }
        // Clip the triangle against the planes it crosses (Sutherland-Hodgman).
        ClipVertex poly[3 + kPlaneCount], next[3 + kPlaneCount];
        int n = 3;
        poly[0] = clip[i0];
        poly[1] = clip[i1];
        poly[2] = clip[i2];
        const unsigned crossed = c0 | c1 | c2;
        for (int p = 0; p < kPlaneCount && n > 0; ++p) {
            if (!(crossed & (1u << p))) continue;
            int k = 0;
            for (int j = 0; j < n; ++j) {
                const ClipVertex& a = poly[j];
                const ClipVertex& b = poly[(j + 1) % n];
                const double da = PlaneDistance(p, a), db = PlaneDistance(p, b);
                const bool ina = da >= 0.0, inb = db >= 0.0;
                if (ina) next[k++] = a;
                // From the inside end, where the coordinates are small.
                if (ina && !inb) next[k++] = Lerp(a, b, da / (da - db));
                if (!ina && inb) next[k++] = Lerp(b, a, db / (db - da));
            }
            n = k;
            std::copy(next, next + n, poly);
        }
        if (n < 3) continue;
        // A broken vertex (NaN, infinity) makes broken intersections: drop them.
        bool finite = true;
        for (int j = 0; j < n; ++j)
            finite = finite && std::isfinite(poly[j].x) && std::isfinite(poly[j].y) &&
                     std::isfinite(poly[j].z) && std::isfinite(poly[j].w) && poly[j].w > 0.0;
        if (!finite) continue;
        ScreenVertex s[3 + kPlaneCount];
        for (int j = 0; j < n; ++j) s[j] = ToScreen(poly[j], halfW, halfH);
        for (int j = 1; j + 1 < n; ++j) fill(s[0], s[j], s[j + 1]);
    }
}

}  // namespace

std::int64_t DrawTriangles(const RasterTarget& target, const RasterState& state,
                           const RasterVertex* vertices, std::size_t vertexCount,
                           const std::uint32_t* indices, std::size_t triangleCount) {
    std::int64_t area = 0;
    ForEachTriangle(target, state, vertices, vertexCount, indices, triangleCount,
                    [&](const TriangleSetup& t) {
                        FillTriangleRows(target, state, t, t.y0, t.y1 + 1);
                        area += PixelBoxArea(t);
                    });
    return area;
}

void SetUpTriangles(const RasterTarget& target, const RasterState& state,
                    const RasterVertex* vertices, std::size_t vertexCount,
                    const std::uint32_t* indices, std::size_t triangleCount,
                    std::vector<TriangleSetup>* out) {
    ForEachTriangle(target, state, vertices, vertexCount, indices, triangleCount,
                    [&](const TriangleSetup& t) { out->push_back(t); });
}

}  // namespace platform::soft
