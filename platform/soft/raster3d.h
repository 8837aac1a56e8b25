// The 3D half of the software device: indexed triangles transformed by one
// matrix, clipped, culled, depth-tested and filled with a flat lit colour,
// optionally modulated by a point-sampled, perspective-correct texture.
//
// Rules (those of the fixed-function device with its default states):
// - Clip space as the device's: visible where -w <= x <= w, -w <= y <= w and
//   0 <= z <= w. Triangles are clipped against the near and far planes, and
//   against a guard band far outside the screen so that no screen coordinate
//   grows without bound; a triangle wholly outside one plane costs nothing.
// - Screen: x = (x/w + 1) * width / 2, y = (1 - y/w) * height / 2, depth z/w.
//   Pixel centres lie on integer coordinates; vertices snap to 1/256 pixel;
//   a pixel is covered when its centre is inside the triangle or on a top or
//   left edge, so triangles sharing an edge leave no gap and no pixel twice.
// - Triangles wound counter-clockwise on the screen are culled.
// - Depth test less-or-equal against the float depth buffer, with writes.
// - Texture: wrap addressing, point sampling (texel floor(u * width)),
//   colour channels multiplied by the lit colour: round(t * c / 255).
// - No blending: the written pixel is opaque (X byte 0xFF).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform::soft {

struct RasterVertex {
    float x, y, z;
    float u, v;
};

struct RasterTarget {
    std::uint32_t* pixels = nullptr;  // ARGB, width * height
    float* depth = nullptr;           // width * height
    int width = 0;
    int height = 0;
};

struct RasterState {
    // Model to clip space, row vectors: clip = (x, y, z, 1) * matrix.
    float matrix[4][4] = {};
    // The lit colour of every vertex (ARGB).
    std::uint32_t color = 0xFFFFFFFFu;
    // Null: untextured.
    const std::uint32_t* texels = nullptr;
    int textureWidth = 0;
    int textureHeight = 0;
    bool depthTest = true;
};

// Draws `triangleCount` triangles of three indices each. Indices not below
// `vertexCount` skip their triangle. Returns the pixels of the drawn
// triangles' pixel boxes.
std::int64_t DrawTriangles(const RasterTarget& target, const RasterState& state,
                           const RasterVertex* vertices, std::size_t vertexCount,
                           const std::uint32_t* indices, std::size_t triangleCount);

// One screen triangle after transform, clipping and culling: its edge
// functions, attribute planes and the pixel box it may cover. Filling any
// set of its rows gives those rows' pixels exactly as a whole draw would.
struct TriangleSetup {
    struct Edge {
        std::int64_t a, b, c, bias;
    };
    struct Plane {
        double A, B, C;
    };
    Edge e0, e1, e2;
    Plane z, iw, u, v;   // iw, u, v only when textured
    int x0, x1, y0, y1;  // inclusive pixel box inside the target
};

inline std::int64_t PixelBoxArea(const TriangleSetup& t) {
    return std::int64_t{t.x1 - t.x0 + 1} * (t.y1 - t.y0 + 1);
}

// DrawTriangles in two steps: the set-up of every visible triangle, appended
// to `out` in draw order, and the filling of one triangle's rows
// yBegin <= y < yEnd.
void SetUpTriangles(const RasterTarget& target, const RasterState& state,
                    const RasterVertex* vertices, std::size_t vertexCount,
                    const std::uint32_t* indices, std::size_t triangleCount,
                    std::vector<TriangleSetup>* out);
void FillTriangleRows(const RasterTarget& target, const RasterState& state,
                      const TriangleSetup& triangle, int yBegin, int yEnd);

}  // namespace platform::soft
