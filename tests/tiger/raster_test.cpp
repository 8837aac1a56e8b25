// Mesh drawing on the software device: texels predicted from the matrices,
// culling, depth, lighting, near-plane clipping, fill rule, broken triangles.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <set>
#include <vector>

#include "engine/renderer.h"
#include "platform/core/d3dx9mesh.h"
#include "support/scene_fixture.h"

namespace {

// The ground triangles below wound clockwise on screen (front facing).
const std::vector<std::uint32_t> kFront = {0, 2, 1};

struct Screen {
    double x, y, w;  // pixels, and the clip-space w
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
        const D3DMATERIAL9 m{{1, 1, 1, 1}, ambient, {}, emissive, 0};
        device->SetMaterial(&m);
    }
    void Draw(const std::vector<MeshVertex>& v, const std::vector<std::uint32_t>& idx) {
        ID3DXMesh(device, v, idx, std::vector<DWORD>(idx.size() / 3, 0)).DrawSubset(0);
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
    // The pixels drawn, as y * 1024 + x.
    std::set<int> Covered() const {
        std::set<int> s;
        for (int i = 0; i < 1024 * 768; ++i)
            if (Pixel(i % 1024, i / 1024) != 0xFF000000u) s.insert(i);
        return s;
    }
    void Identity(D3DTRANSFORMSTATETYPE t) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(t, &identity);
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
    // 4 x 4 distinct texels on a ground triangle seen in perspective.
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(
        device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
        D3D_OK);
    for (int i = 0; i < 16; ++i)
        texture->Texels()[i] = 0xFF000000u | (i * 16u) << 16 | (255u - i * 8) << 8 | 0x40u;
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    const std::vector<std::uint32_t> texels(texture->Texels(), texture->Texels() + 16);
    SetMaterial({0, 0, 0, 1}, {0.5f, 1, 1, 1});  // lit colour (128, 255, 255)
    const std::vector<MeshVertex> v = {{-3, 0, -3, 0, 0}, {3, 0, -2, 1, 0}, {-2, 0, 3, 0, 1}};
    const Screen s[3] = {Project(v[0]), Project(v[1]), Project(v[2])};
    Draw(v, kFront);
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
            const std::uint32_t t = texels[int(tv) * 4 + int(tu)];
            const auto r =
                static_cast<std::uint32_t>(std::lround(((t >> 16) & 0xFF) * 128 / 255.0));
            ASSERT_EQ(got, 0xFF000000u | r << 16 | (t & 0xFFFF)) << x << "," << y;
            ++checked;
        }
    EXPECT_GT(checked, 5000);

    // The same triangle wound the other way is a back face: nothing drawn.
    engine->renderer->BeginFrame();
    Draw(v, {0, 1, 2});
    EXPECT_TRUE(Covered().empty());
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(MeshDrawTest, NearerTriangleHidesFartherInItsSaturatedColour) {
    device->SetTexture(0, nullptr);
    auto tri = [](float y) {  // on the ground, or lifted towards the camera
        return std::vector<MeshVertex>{{-1, y, -1, 0, 0}, {1, y, -1, 0, 0}, {0, y, 1, 0, 0}};
    };
    // Near first: emissive + white ambient light * ambient, red saturating.
    SetMaterial({0.5f, 0.2f, 0.0f, 1}, {0.75f, 0.1f, 0.3f, 1});
    Draw(tri(2), kFront);
    SetMaterial({0, 0, 1, 1}, {0, 0, 0, 1});
    Draw(tri(0), kFront);
    const Screen c = Project({0, 1, -0.3f, 0, 0});
    EXPECT_EQ(Pixel(int(c.x), int(c.y)), 0xFFFF4D4Du);
}

// Camera at the origin looking along +z: a floor triangle with a corner
// behind the eye is clipped at the near plane, so all of it lies below the
// horizon (a corner projected from behind would land above).
TEST_F(MeshDrawTest, TriangleThroughTheNearPlaneIsClipped) {
    Identity(D3DTS_VIEW);
    SetMaterial({0, 1, 0, 1}, {0, 0, 0, 1});
    const std::vector<MeshVertex> v = {{-1, -1, 5, 0, 0}, {1, -1, 5, 0, 0}, {0, -1, -5, 0, 0}};
    Draw(v, {0, 1, 2});
    Draw(v, {0, 2, 1});
    const std::set<int> drawn = Covered();
    EXPECT_GT(drawn.size(), 1000u);
    for (int i : drawn) ASSERT_GT(i / 1024, 384) << i % 1024;
    EXPECT_EQ(Pixel(512, static_cast<int>(Project(v[0]).y) + 2), 0xFF00FF00u);
}

// With every transform the identity, model space is clip space.
class ClipSpaceTest : public MeshDrawTest {
  protected:
    void SetUp() override {
        MeshDrawTest::SetUp();
        for (auto t : {D3DTS_WORLD, D3DTS_VIEW, D3DTS_PROJECTION}) Identity(t);
        SetMaterial({1, 1, 1, 1}, {0, 0, 0, 1});
    }
};

// A square with corners on pixel centres, split along its diagonal: the two
// halves together cover exactly [10, 30) x [10, 30), no pixel twice.
TEST_F(ClipSpaceTest, TrianglesSharingEdgesLeaveNoGapAndDrawNoPixelTwice) {
    auto at = [](float x, float y) { return MeshVertex{x / 512 - 1, 1 - y / 384, 0.5f, 0, 0}; };
    const std::vector<MeshVertex> v = {at(10, 10), at(30, 10), at(30, 30), at(10, 30)};
    Draw(v, {0, 1, 2});
    std::set<int> both = Covered();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    Draw(v, {0, 2, 3});
    const std::set<int> second = Covered();
    EXPECT_EQ(both.size() + second.size(), 400u);
    both.insert(second.begin(), second.end());
    ASSERT_EQ(both.size(), 400u);
    for (int i : both)
        EXPECT_TRUE(i % 1024 >= 10 && i % 1024 < 30 && i / 1024 >= 10 && i / 1024 < 30);
}

TEST_F(ClipSpaceTest, HugeBehindAndBrokenTrianglesAreSafe) {
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    // Far off-screen, broken, or with a bad index: nothing drawn.
    Draw({{1e30f, 1e30f, 0.5f, 0, 0}, {2e30f, 1e30f, 0.5f, 0, 0}, {1e30f, -1e30f, 0.5f, 0, 0}},
         {0, 1, 2});
    const std::vector<MeshVertex> broken = {
        {nan, 0, 0.5f, 0, 0}, {1, 0, 0.5f, 0, 0}, {0, inf, 0.5f, 0, 0}};
    Draw(broken, {0, 1, 2});
    Draw(broken, {0, 1, 7});
    EXPECT_TRUE(Covered().empty());
    // Enormous but covering the screen: every pixel, no overflow.
    const std::vector<MeshVertex> big = {
        {-1e9f, 1e9f, 0.5f, 0, 0}, {1e9f, 1e9f, 0.5f, 0, 0}, {0, -1e9f, 0.5f, 0, 0}};
    Draw(big, {0, 1, 2});
    Draw(big, {0, 2, 1});
    EXPECT_EQ(Covered().size(), 1024u * 768u);
}

}  // namespace
