// The tiger: ellipsoids and tapered tubes joined into one mesh with normals,
// texture coordinates and two materials (the striped skin, and the dark eyes
// and nose), written as a text X file.
#include "tools/assetgen/tiger_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "tools/assetgen/art.h"

namespace assetgen {

namespace {

constexpr float kPi = 3.14159265f;

struct V3 {
    float x, y, z;
};
V3 operator+(V3 a, V3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
V3 operator-(V3 a, V3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
V3 operator*(V3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(V3 a, V3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
V3 Cross(V3 a, V3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
V3 Normalize(V3 a) {
    const float l = std::sqrt(Dot(a, a));
    return l > 0.0f ? a * (1.0f / l) : V3{0.0f, 1.0f, 0.0f};
}

struct Vertex {
    V3 p, n;
    float u, v;
};

struct Mesh {
    std::vector<Vertex> vertices;
    std::vector<int> faces;     // three indices per triangle
    std::vector<int> material;  // one per triangle

    // Adds a grid of (rows + 1) x (cols + 1) vertices made by `at` (which fills
    // position, normal and texture coordinates for grid point (i, j)) and its
    // quads as triangles. Each triangle is wound so that it is front-facing
    // (clockwise) seen from the side its vertex normals point to.
    template <typename F>
    void Grid(int rows, int cols, int mat, F at) {
        const int base = static_cast<int>(vertices.size());
        for (int i = 0; i <= rows; ++i)
            for (int j = 0; j <= cols; ++j) vertices.push_back(at(i, j));
        auto idx = [&](int i, int j) { return base + i * (cols + 1) + j; };
        for (int i = 0; i < rows; ++i)
            for (int j = 0; j < cols; ++j) {
                Triangle(idx(i, j), idx(i, j + 1), idx(i + 1, j + 1), mat);
                Triangle(idx(i, j), idx(i + 1, j + 1), idx(i + 1, j), mat);
            }
    }

    void Triangle(int a, int b, int c, int mat) {
        const V3 pa = vertices[a].p, pb = vertices[b].p, pc = vertices[c].p;
        const V3 face = Cross(pb - pa, pc - pa);
        if (Dot(face, face) < 1e-14f) return;  // degenerate (at a pole)
        const V3 out = vertices[a].n + vertices[b].n + vertices[c].n;
        if (Dot(face, out) < 0.0f) std::swap(b, c);
        faces.insert(faces.end(), {a, b, c});
        material.push_back(mat);
    }
};

// An ellipsoid with centre c and radii r; texture u runs along z (nose to
// tail), v around the body with the back at v = 0 and the belly at v = 0.5.
void Ellipsoid(Mesh& m, V3 c, V3 r, int rings, int segments, int mat, float u0, float u1) {
    m.Grid(rings, segments, mat, [&](int i, int j) {
        const float t = static_cast<float>(i) / rings;  // 0 at -z, 1 at +z
        const float a = 2.0f * kPi * j / segments;      // 0 on the back
        const float polar = t * kPi;
        const V3 unit{std::sin(polar) * std::sin(a), std::sin(polar) * std::cos(a),
                      -std::cos(polar)};
        const V3 p = c + V3{unit.x * r.x, unit.y * r.y, unit.z * r.z};
        const V3 n = Normalize({unit.x / r.x, unit.y / r.y, unit.z / r.z});
        return Vertex{p, n, u0 + (u1 - u0) * t, static_cast<float>(j) / segments};
    });
}

// A tube from a to b, radius ra at a and rb at b, closed by flat-ish caps.
void Tube(Mesh& m, V3 a, V3 b, float ra, float rb, int segments, int mat, float u0, float u1) {
    const V3 axis = Normalize(b - a);
    const V3 side = Normalize(Cross(std::fabs(axis.y) < 0.9f ? V3{0, 1, 0} : V3{1, 0, 0}, axis));
    const V3 up = Cross(axis, side);
    const int rings = 1;  // a straight taper needs no inner rings
    m.Grid(rings, segments, mat, [&](int i, int j) {
        const float t = static_cast<float>(i) / rings;
        const float ang = 2.0f * kPi * j / segments;
        const V3 radial = up * std::cos(ang) + side * std::sin(ang);
        const float r = ra + (rb - ra) * t;
        return Vertex{a + (b - a) * t + radial * r, Normalize(radial), u0 + (u1 - u0) * t,
                      static_cast<float>(j) / segments};
    });
    for (int end = 0; end < 2; ++end) {
        const V3 centre = end ? b : a;
        const V3 n = end ? axis : axis * -1.0f;
        const float r = end ? rb : ra;
        const int base = static_cast<int>(m.vertices.size());
        m.vertices.push_back({centre, n, end ? u1 : u0, 0.5f});
        for (int j = 0; j <= segments; ++j) {
            const float ang = 2.0f * kPi * j / segments;
            m.vertices.push_back({centre + (up * std::cos(ang) + side * std::sin(ang)) * r, n,
                                  end ? u1 : u0, static_cast<float>(j) / segments});
        }
        for (int j = 0; j < segments; ++j) m.Triangle(base, base + 1 + j, base + 2 + j, mat);
    }
}

Mesh BuildTiger() {
    Mesh m;
    const int skin = 0, dark = 1;
    // Model space: y up, the head towards +z, the body along z.
    Ellipsoid(m, {0.0f, 0.66f, 0.05f}, {0.27f, 0.28f, 0.80f}, 16, 20, skin, 0.78f, 0.12f);
    Ellipsoid(m, {0.0f, 0.70f, 0.48f}, {0.31f, 0.27f, 0.34f}, 8, 14, skin, 0.36f,
              0.18f);  // shoulders
    Ellipsoid(m, {0.0f, 0.72f, -0.45f}, {0.30f, 0.28f, 0.36f}, 8, 14, skin, 0.85f, 0.7f);  // haunch
    Ellipsoid(m, {0.0f, 0.84f, 0.93f}, {0.29f, 0.25f, 0.27f}, 10, 16, skin, 0.28f, 0.0f);  // head
    Ellipsoid(m, {0.0f, 0.76f, 1.15f}, {0.15f, 0.12f, 0.13f}, 8, 12, skin, 0.06f, 0.0f);   // muzzle
    Ellipsoid(m, {0.0f, 0.82f, 1.275f}, {0.045f, 0.035f, 0.02f}, 4, 8, dark, 0.0f, 0.0f);  // nose
    for (float s : {-1.0f, 1.0f}) {
        Ellipsoid(m, {0.12f * s, 0.93f, 1.14f}, {0.045f, 0.04f, 0.035f}, 4, 8, dark, 0.0f, 0.0f);
        Tube(m, {0.19f * s, 1.0f, 0.88f}, {0.26f * s, 1.16f, 0.84f}, 0.08f, 0.025f, 8, dark, 0.0f,
             0.0f);  // ears
        Tube(m, {0.22f * s, 0.52f, 0.60f}, {0.28f * s, 0.06f, 0.70f}, 0.11f, 0.08f, 10, skin, 0.2f,
             0.3f);  // front legs
        Tube(m, {0.22f * s, 0.56f, -0.45f}, {0.28f * s, 0.06f, -0.52f}, 0.13f, 0.08f, 10, skin,
             0.7f, 0.8f);  // hind legs
        Ellipsoid(m, {0.29f * s, 0.05f, 0.76f}, {0.10f, 0.05f, 0.13f}, 6, 10, skin, 0.01f, 0.03f);
        Ellipsoid(m, {0.29f * s, 0.05f, -0.46f}, {0.10f, 0.05f, 0.13f}, 6, 10, skin, 0.01f, 0.03f);
    }
    // The tail: a chain of tubes curving down, back and up at the tip.
    V3 prev{0.0f, 0.78f, -0.72f};
    for (int k = 1; k <= 6; ++k) {
        const float t = k / 6.0f;
        const V3 next{0.10f * std::sin(t * kPi),
                      0.78f - 0.30f * std::sin(t * kPi * 0.8f) + 0.12f * t * t, -0.72f - 0.52f * t};
        Tube(m, prev, next, 0.07f - 0.03f * (t - 1.0f / 6), 0.07f - 0.03f * t, 8, skin,
             0.85f + 0.15f * (t - 1.0f / 6), 0.85f + 0.15f * t);
        prev = next;
    }
    // Centre on the origin in x and z and stand on y = 0.
    V3 lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
    for (const Vertex& v : m.vertices) {
        lo = {std::min(lo.x, v.p.x), std::min(lo.y, v.p.y), std::min(lo.z, v.p.z)};
        hi = {std::max(hi.x, v.p.x), std::max(hi.y, v.p.y), std::max(hi.z, v.p.z)};
    }
    const V3 shift{-(lo.x + hi.x) * 0.5f, -lo.y, -(lo.z + hi.z) * 0.5f};
    for (Vertex& v : m.vertices) v.p = v.p + shift;
    return m;
}

void Append(std::string& s, const char* fmt, double a, double b = 0, double c = 0) {
    char buf[128];
    std::snprintf(buf, sizeof buf, fmt, a, b, c);
    s += buf;
}

}  // namespace

Canvas RenderTigerPreview(const Canvas& skin, bool fromAbove, int size) {
    // Orthographic, flat-coloured like the game's unlit scene (texture times
    // the material colour). From above, the head points down the picture as
    // it does in the tiger level after its quarter turn.
    const Mesh m = BuildTiger();
    Canvas c(size, size, kKey);
    std::vector<float> depth(static_cast<std::size_t>(size) * size, 1e9f);
    const float scale = size / 2.8f;
    auto project = [&](V3 p, float* sx, float* sy, float* d) {
        if (fromAbove) {
            *sx = size * 0.5f - p.x * scale;
            *sy = size * 0.5f + p.z * scale;
            *d = -p.y;
        } else {
            *sx = size * 0.5f + p.z * scale;
            *sy = size * 0.75f - p.y * scale;
            *d = -p.x;
        }
    };
    for (std::size_t f = 0; f < m.material.size(); ++f) {
        float x[3], y[3], d[3];
        const Vertex* v[3];
        for (int k = 0; k < 3; ++k) {
            v[k] = &m.vertices[static_cast<std::size_t>(m.faces[3 * f + k])];
            project(v[k]->p, &x[k], &y[k], &d[k]);
        }
        const float area = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
        if (std::fabs(area) < 1e-6f) continue;
        const int x0 = std::max(0, static_cast<int>(std::floor(std::min({x[0], x[1], x[2]}))));
        const int x1 =
            std::min(size - 1, static_cast<int>(std::ceil(std::max({x[0], x[1], x[2]}))));
        const int y0 = std::max(0, static_cast<int>(std::floor(std::min({y[0], y[1], y[2]}))));
        const int y1 =
            std::min(size - 1, static_cast<int>(std::ceil(std::max({y[0], y[1], y[2]}))));
        for (int py = y0; py <= y1; ++py)
            for (int px = x0; px <= x1; ++px) {
                const float cx = px + 0.5f, cy = py + 0.5f;
                const float w0 = ((x[1] - cx) * (y[2] - cy) - (x[2] - cx) * (y[1] - cy)) / area;
                const float w1 = ((x[2] - cx) * (y[0] - cy) - (x[0] - cx) * (y[2] - cy)) / area;
                const float w2 = 1.0f - w0 - w1;
                if (w0 < 0.0f || w1 < 0.0f || w2 < 0.0f) continue;
                const float z = w0 * d[0] + w1 * d[1] + w2 * d[2];
                float& dz = depth[static_cast<std::size_t>(py) * size + px];
                if (z >= dz) continue;
                dz = z;
                Rgb col = Hex(0x140E0A);
                if (m.material[f] == 0) {
                    const float u = w0 * v[0]->u + w1 * v[1]->u + w2 * v[2]->u;
                    const float tv = w0 * v[0]->v + w1 * v[1]->v + w2 * v[2]->v;
                    const int tx =
                        std::clamp(static_cast<int>(u * skin.Width()), 0, skin.Width() - 1);
                    const int ty =
                        std::clamp(static_cast<int>(tv * skin.Height()), 0, skin.Height() - 1);
                    col = skin.Get(tx, ty);
                }
                c.Set(px, py, col);
            }
    }
    return c;
}

Canvas MakeTigerSkin() {
    // u (across) runs from the nose (0) to the tail tip (1); v (down) goes
    // round the body: back at the top and bottom rows, belly in the middle.
    // Stripes cross the body and thin out towards the belly; shading is baked
    // in because the scene has no lights.
    const int w = 256, h = 128;
    Canvas c(w, h, kKey);
    Noise wobble(611, 8);
    const Rgb orange = Hex(0xE9862A), deep = Hex(0xC4601A), cream = Hex(0xF4E6CC),
              black = Hex(0x1A120C);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const float u = (x + 0.5f) / w, v = (y + 0.5f) / h;
            const float side = std::fabs(v - 0.5f) * 2.0f;  // 1 on the back, 0 on the belly
            Rgb col = Mix(deep, orange, std::min(1.0f, side * 1.4f));
            if (side < 0.35f) col = Mix(cream, col, side / 0.35f * 0.6f);
            // Stripes: about 22 along the length, wavy, tapering to the belly.
            const float phase = u * 22.0f + 0.6f * (wobble.Fractal(u * 8.0f, v * 8.0f, 2) - 0.5f) +
                                0.25f * std::sin(v * 4.0f * kPi);
            const float f = phase - std::floor(phase);
            const float width = 0.32f * std::clamp((side - 0.2f) / 0.6f, 0.0f, 1.0f);
            if (std::fabs(f - 0.5f) < width * 0.5f) col = black;
            // The snout and the tail tip are paler and darker respectively.
            if (u < 0.035f) col = Mix(col, cream, 0.75f);
            if (u > 0.96f) col = black;
            c.Set(x, y, Scale(col, 0.75f + 0.25f * side));
        }
    return c;
}

std::vector<std::uint8_t> MakeTigerX() {
    const Mesh m = BuildTiger();
    const std::size_t nv = m.vertices.size(), nf = m.material.size();
    std::string s = "xof 0302txt 0032\n\n";
    s += "Frame Tiger {\n FrameTransformMatrix {\n";
    s += "  1.000000,0.000000,0.000000,0.000000,\n  0.000000,1.000000,0.000000,0.000000,\n";
    s += "  0.000000,0.000000,1.000000,0.000000,\n  0.000000,0.000000,0.000000,1.000000;;\n }\n";
    s += " Mesh TigerMesh {\n";
    // A counted list of vectors, then of triangles; the normals repeat the
    // same triangle list, as the format wants.
    auto vectors = [&](const char* indent, auto get) {
        s += indent;
        Append(s, "%.0f;\n", static_cast<double>(nv));
        for (std::size_t i = 0; i < nv; ++i) {
            const V3 v = get(m.vertices[i]);
            s += indent;
            Append(s, "%.6f;%.6f;", v.x, v.y);
            Append(s, "%.6f;", v.z);
            s += i + 1 < nv ? ",\n" : ";\n";
        }
    };
    auto triangles = [&](const char* indent) {
        s += indent;
        Append(s, "%.0f;\n", static_cast<double>(nf));
        for (std::size_t f = 0; f < nf; ++f) {
            s += indent;
            Append(s, "3;%.0f,%.0f,", m.faces[3 * f], m.faces[3 * f + 1]);
            Append(s, "%.0f;", m.faces[3 * f + 2]);
            s += f + 1 < nf ? ",\n" : ";\n";
        }
    };
    vectors("  ", [](const auto& v) { return v.p; });
    triangles("  ");
    s += "  MeshNormals {\n";
    vectors("   ", [](const auto& v) { return v.n; });
    triangles("   ");
    s += "  }\n  MeshTextureCoords {\n";
    Append(s, "   %.0f;\n", static_cast<double>(nv));
    for (std::size_t i = 0; i < nv; ++i) {
        Append(s, "   %.6f;%.6f;", m.vertices[i].u, m.vertices[i].v);
        s += i + 1 < nv ? ",\n" : ";\n";
    }
    s += "  }\n  MeshMaterialList {\n   2;\n";
    Append(s, "   %.0f;\n", static_cast<double>(nf));
    for (std::size_t f = 0; f < nf; ++f) {
        Append(s, "   %.0f", m.material[f]);
        s += f + 1 < nf ? ",\n" : ";;\n";
    }
    s += "   Material TigerSkin {\n    1.000000;1.000000;1.000000;1.000000;;\n    8.000000;\n";
    s += "    0.200000;0.200000;0.200000;;\n    0.000000;0.000000;0.000000;;\n";
    s += "    TextureFilename {\n     \"";
    s += kTigerTextureName;
    s += "\";\n    }\n   }\n";
    s += "   Material TigerEyes {\n    0.080000;0.070000;0.050000;1.000000;;\n    16.000000;\n";
    s += "    0.500000;0.500000;0.500000;;\n    0.000000;0.000000;0.000000;;\n   }\n";
    s += "  }\n }\n}\n";
    return {s.begin(), s.end()};
}

}  // namespace assetgen
