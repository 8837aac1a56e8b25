// Mesh drawing on the software device: pixels and texels predicted from the
// matrices, culling, depth, lighting, near-plane clipping, the renderer's
// aspect, and the fill rule between neighbouring triangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "engine/renderer.h"
#include "platform/core/d3dx9mesh.h"
#include "platform/soft/raster3d.h"
#include "support/scene_fixture.h"

namespace {

using platform::soft::RasterVertex;

struct Screen {
    double x, y, w;
};

class MeshDrawTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        device = engine->renderer->device;
        engine->renderer->BeginFrame();  // clear, fixed camera
    }
    void TearDown() override {
        engine->renderer->EndFrame();
        SceneTest::TearDown();
    }
    void SetMaterial(D3DCOLORVALUE emissive, D3DCOLORVALUE ambient) {
        D3DMATERIAL9 m{};
        m.Diffuse = {1, 1, 1, 1};
        m.Emissive = emissive;
        m.Ambient = ambient;
        device->SetMaterial(&m);
    }
    void Draw(std::vector<MeshVertex> v, std::vector<std::uint32_t> idx) {
        std::vector<DWORD> attr(idx.size() / 3, 0);
        ID3DXMesh mesh(device, std::move(v), std::move(idx), std::move(attr));
        mesh.DrawSubset(0);
    }
    // Where the device's current transforms put a model-space point.
    Screen Project(const MeshVertex& p) {
        D3DXMATRIX w, v, pr, wv, wvp;
        device->GetTransform(D3DTS_WORLD, &w);
        device->GetTransform(D3DTS_VIEW, &v);
        device->GetTransform(D3DTS_PROJECTION, &pr);
        D3DXMatrixMultiply(&wv, &w, &v);
        D3DXMatrixMultiply(&wvp, &wv, &pr);
        float c[4];
        const D3DXVECTOR3 in(p.x, p.y, p.z);
        D3DXVec3Transform4(c, &in, &wvp);
        return {(c[0] / c[3] + 1.0) * 512.0, (1.0 - c[1] / c[3]) * 384.0, c[3]};
    }
    // The corner order that is clockwise on the screen (front facing).
    std::vector<std::uint32_t> Front(const std::vector<MeshVertex>& v) {
        const Screen a = Project(v[0]), b = Project(v[1]), c = Project(v[2]);
        if ((b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x) < 0) return {0, 2, 1};
        return {0, 1, 2};
    }
    IDirect3DDevice9* device = nullptr;
};

// Barycentric weights of pixel centre (x, y) in the screen triangle.
void Weights(const Screen s[3], double x, double y, double b[3]) {
    const double area =
        (s[1].x - s[0].x) * (s[2].y - s[0].y) - (s[1].y - s[0].y) * (s[2].x - s[0].x);
    b[0] = ((s[1].x - x) * (s[2].y - y) - (s[1].y - y) * (s[2].x - x)) / area;
    b[1] = ((s[2].x - x) * (s[0].y - y) - (s[2].y - y) * (s[0].x - x)) / area;
    b[2] = 1.0 - b[0] - b[1];
}

TEST_F(MeshDrawTest, TexturedTriangleLandsOnPredictedPixelsAndTexels) {
    // A 4 x 4 texture of distinct texels, on a triangle lying on the ground
    // under the fixed camera, seen in perspective.
    IDirect3DTexture9 texture(4, 4, D3DFMT_A8R8G8B8);
    for (int i = 0; i < 16; ++i)
        texture.Texels()[i] = 0xFF000000u | (i * 16u) << 16 | (255u - i * 8) << 8 | 0x40u;
    device->SetTexture(0, &texture);
    SetMaterial({0, 0, 0, 1}, {0.5f, 1, 1, 1});  // lit colour (128, 255, 255)
    const std::vector<MeshVertex> v = {{-3, 0, -3, 0, 0}, {3, 0, -2, 1, 0}, {-2, 0, 3, 0, 1}};
    const Screen s[3] = {Project(v[0]), Project(v[1]), Project(v[2])};
    std::vector<std::uint32_t> idx = Front(v);
    Draw(v, idx);
    int checked = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x) {
            double b[3];
            Weights(s, x, y, b);
            const std::uint32_t got = Pixel(x, y);
            const double low = std::min({b[0], b[1], b[2]});
            if (low < -1e-3) {
                ASSERT_EQ(got, 0xFF000000u) << x << "," << y;  // outside: cleared
                continue;
            }
            if (low < 1e-3) continue;  // on an edge
            double q = 0, uq = 0, vq = 0;
            for (int k = 0; k < 3; ++k) {
                q += b[k] / s[k].w;
                uq += b[k] * v[k].u / s[k].w;
                vq += b[k] * v[k].v / s[k].w;
            }
            const double tu = uq / q * 4, tv = vq / q * 4;
            if (std::fabs(tu - std::round(tu)) < 1e-3 || std::fabs(tv - std::round(tv)) < 1e-3)
                continue;  // on a texel boundary
            const std::uint32_t t = texture.Texels()[int(tv) * 4 + int(tu)];
            const auto r =
                static_cast<std::uint32_t>(std::lround(((t >> 16) & 0xFF) * 128 / 255.0));
            ASSERT_EQ(got, 0xFF000000u | r << 16 | (t & 0xFFFF)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 5000);

    // The same triangle wound the other way is a back face: nothing drawn.
    engine->renderer->BeginFrame();
    std::swap(idx[1], idx[2]);
    Draw(v, idx);
    const auto* p = engine->renderer->backBuffer->Pixels();
    EXPECT_EQ(std::count(p, p + 1024 * 768, 0xFF000000u), 1024 * 768);
}

TEST_F(MeshDrawTest, NearerTriangleHidesFartherInEitherOrderInItsSaturatedColour) {
    device->SetTexture(0, nullptr);
    // Two ground triangles, one lifted 2 units towards the camera.
    auto tri = [](float y) {
        return std::vector<MeshVertex>{{-1, y, -1, 0, 0}, {1, y, -1, 0, 0}, {0, y, 1, 0, 0}};
    };
    const std::vector<std::uint32_t> idx = Front(tri(0));
    const Screen centre = Project({0, 1, -0.3f, 0, 0});
    for (int order = 0; order < 2; ++order) {
        engine->renderer->BeginFrame();
        for (int k = 0; k < 2; ++k) {
            const bool near = (k == 0) == (order == 0);
            // Near: emissive + white ambient light * material ambient, red
            // saturating. Far: blue.
            if (near)
                SetMaterial({0.5f, 0.2f, 0.0f, 1}, {0.75f, 0.1f, 0.3f, 1});
            else
                SetMaterial({0, 0, 1, 1}, {0, 0, 0, 1});
            Draw(tri(near ? 2.0f : 0.0f), idx);
        }
        EXPECT_EQ(Pixel(int(centre.x), int(centre.y)), 0xFFFF4D4Du) << "order " << order;
    }
}

TEST_F(MeshDrawTest, SquareIsStretchedByFourThirdsOnTheFourByThreeBuffer) {
    // The renderer's projection (aspect 1.0) with the camera looking along +z.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    SetMaterial({1, 1, 1, 1}, {0, 0, 0, 1});
    const std::vector<MeshVertex> v = {
        {-1, -1, 10, 0, 0}, {-1, 1, 10, 0, 0}, {1, 1, 10, 0, 0}, {1, -1, 10, 0, 0}};
    Draw(v, {0, 1, 2, 0, 2, 3});
    int across = 0, down = 0;
    for (int x = 0; x < 1024; ++x) across += Pixel(x, 384) == 0xFFFFFFFFu;
    for (int y = 0; y < 768; ++y) down += Pixel(512, y) == 0xFFFFFFFFu;
    ASSERT_GT(down, 50);
    EXPECT_NEAR(static_cast<double>(across) / down, 4.0 / 3.0, 0.02);
}

TEST_F(MeshDrawTest, TriangleThroughTheNearPlaneIsClipped) {
    // Camera at the origin looking along +z; a floor triangle one unit below
    // the eye with one corner behind the camera. What is visible lies below
    // the horizon: a corner projected from behind the eye would land above it.
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    device->SetTransform(D3DTS_VIEW, &identity);
    SetMaterial({0, 1, 0, 1}, {0, 0, 0, 1});
    const std::vector<MeshVertex> v = {{-1, -1, 5, 0, 0}, {1, -1, 5, 0, 0}, {0, -1, -5, 0, 0}};
    Draw(v, {0, 1, 2});
    Draw(v, {0, 2, 1});
    int drawn = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = 0; x < 1024; ++x)
            if (Pixel(x, y) != 0xFF000000u) {
                ++drawn;
                ASSERT_GT(y, 384) << x;
            }
    EXPECT_GT(drawn, 1000);
    const Screen edge = Project({0, -1, 5, 0, 0});
    EXPECT_EQ(Pixel(512, static_cast<int>(edge.y) + 2), 0xFF00FF00u);
}

// Straight to the rasterizer, clip space = model space (w = 1).
class RasterTest : public ::testing::Test {
  protected:
    static constexpr int kW = 64, kH = 48;
    void SetUp() override {
        for (int i = 0; i < 4; ++i) state.matrix[i][i] = 1.0f;
        Clear();
    }
    void Clear() {
        pixels.assign(kW * kH, 0);
        depth.assign(kW * kH, 1.0f);
    }
    void Draw(const std::vector<RasterVertex>& v, const std::vector<std::uint32_t>& idx) {
        platform::soft::RasterTarget t{pixels.data(), depth.data(), kW, kH};
        platform::soft::DrawTriangles(t, state, v.data(), v.size(), idx.data(), idx.size() / 3);
    }
    std::set<int> Covered() const {
        std::set<int> s;
        for (int i = 0; i < kW * kH; ++i)
            if (pixels[i]) s.insert(i);
        return s;
    }
    // Clip space of a screen position.
    static RasterVertex At(double x, double y) {
        return {static_cast<float>(x / (kW / 2.0) - 1), static_cast<float>(1 - y / (kH / 2.0)),
                0.5f, 0, 0};
    }
    platform::soft::RasterState state;
    std::vector<std::uint32_t> pixels;
    std::vector<float> depth;
};

TEST_F(RasterTest, TrianglesSharingEdgesLeaveNoGapAndDrawNoPixelTwice) {
    state.depthTest = false;
    state.color = 0xFFFFFFFFu;
    // Draws each triangle alone; returns the pixels covered, counting each
    // as often as it was drawn, and adds them to `all`.
    auto each = [&](const std::vector<RasterVertex>& v, const std::vector<std::uint32_t>& idx,
                    std::set<int>* all) {
        std::size_t sum = 0;
        for (std::size_t t = 0; t < idx.size(); t += 3) {
            Clear();
            Draw(v, {idx[t], idx[t + 1], idx[t + 2]});
            const auto c = Covered();
            sum += c.size();
            all->insert(c.begin(), c.end());
        }
        return sum;
    };
    // A fan of twelve triangles round an off-grid centre: every pixel centre
    // more than a hair inside the outline, once.
    const double pi = 3.14159265358979, cx = 31.3, cy = 23.7;
    std::vector<RasterVertex> fan = {At(cx, cy)};
    std::vector<std::uint32_t> idx;
    for (std::uint32_t k = 0; k < 12; ++k) {  // clockwise on screen (y down)
        fan.push_back(At(cx + 20 * std::cos(k * pi / 6), cy + 20 * std::sin(k * pi / 6)));
        idx.insert(idx.end(), {0, 1 + k, 1 + (k + 1) % 12});
    }
    std::set<int> all;
    const std::size_t sum = each(fan, idx, &all);
    EXPECT_EQ(sum, all.size()) << "a pixel drawn twice";
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            EXPECT_TRUE(std::hypot(x - cx, y - cy) > 20 * std::cos(pi / 12) - 0.01 ||
                        all.count(y * kW + x))
                << x << "," << y;
    // A square split along a diagonal through pixel centres: exactly
    // [10, 30) x [10, 30).
    all.clear();
    EXPECT_EQ(each({At(10, 10), At(30, 10), At(30, 30), At(10, 30)}, {0, 1, 2, 0, 2, 3}, &all),
              400u);
    EXPECT_EQ(all.size(), 400u);
    for (int i : all) EXPECT_TRUE(i % kW >= 10 && i % kW < 30 && i / kW >= 10 && i / kW < 30);
}

TEST_F(RasterTest, HugeBehindAndBrokenTrianglesAreSafe) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Far off-screen, behind the eye, or broken: nothing drawn.
    Draw({{1e30f, 1e30f, 0.5f, 0, 0}, {2e30f, 1e30f, 0.5f, 0, 0}, {1e30f, -1e30f, 0.5f, 0, 0}},
         {0, 1, 2});
    Draw({{nan, 0, 0.5f, 0, 0}, {1, 0, 0.5f, 0, 0}, {0, inf, 0.5f, 0, 0}}, {0, 1, 2});
    Draw({{0, 0, 0.5f, 0, 0}, {1, 0, 0.5f, 0, 0}, {0, 1, 0.5f, 0, 0}}, {0, 1, 7});  // bad index
    EXPECT_TRUE(Covered().empty());
    // Enormous but covering the screen: every pixel, no overflow.
    Draw({{-1e9f, 1e9f, 0.5f, 0, 0}, {1e9f, 1e9f, 0.5f, 0, 0}, {0, -1e9f, 0.5f, 0, 0}}, {0, 1, 2});
    Draw({{-1e9f, 1e9f, 0.5f, 0, 0}, {0, -1e9f, 0.5f, 0, 0}, {1e9f, 1e9f, 0.5f, 0, 0}}, {0, 1, 2});
    EXPECT_EQ(Covered().size(), static_cast<std::size_t>(kW * kH));
}

}  // namespace
