#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "base/vector3.h"
#include "platform/core/debug.h"
#include "platform/testing/test_hooks.h"
#include "support/engine_fixture.h"

namespace {

D3DXMATRIX World(IDirect3DDevice9* d) {
    D3DXMATRIX m;
    d->GetTransform(D3DTS_WORLD, &m);
    return m;
}

void ExpectMatrixNear(const D3DMATRIX& a, const float (&b)[4][4]) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) EXPECT_NEAR(a.m[r][c], b[r][c], 1e-5f) << r << "," << c;
}

class RendererTest : public EngineTest {};

TEST_F(RendererTest, WorldTransformTranslatesAndTurnsLeftHanded) {
    InitEngine();
    Renderer* r = engine->renderer;
    Vector3 pos(2, 0, 5), none(0, 0, 0);
    r->SetWorldTransform(&pos, &none);
    ExpectMatrixNear(World(r->device), {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {2, 0, 5, 1}});

    // A quarter yaw turns +x to -z, then the translation applies.
    Vector3 yaw(static_cast<float>(M_PI / 2), 0, 0);
    r->SetWorldTransform(&pos, &yaw);
    D3DXMATRIX w = World(r->device);
    D3DXVECTOR3 x(1, 0, 0);
    float out[4];
    D3DXVec3Transform4(out, &x, &w);
    EXPECT_NEAR(out[0], 2.0f, 1e-5f);
    EXPECT_NEAR(out[2], 4.0f, 1e-5f);

    // The next frame starts with the identity again.
    r->BeginFrame();
    r->EndFrame();
    ExpectMatrixNear(World(r->device), {{1, 0, 0, 0}, {0, 1, 0, 0}, {0, 0, 1, 0}, {0, 0, 0, 1}});
}

TEST_F(RendererTest, FailedBeginSceneIsNeitherEndedNorPresented) {
    InitEngine();
    IDirect3DDevice9* d = engine->renderer->device;
    platform::FailNextBeginSceneForTest();
    engine->Frame();
    EXPECT_FALSE(engine->renderer->inScene);
    EXPECT_EQ(d->PresentCount(), 0);
    engine->Frame();
    EXPECT_TRUE(engine->renderer->inScene);
    EXPECT_EQ(d->PresentCount(), 1);
}

TEST_F(RendererTest, DeviceFailuresShowTheirMessageBoxesAndLeaveFramesHarmless) {
    platform::ClearMessageBoxesForTest();
    platform::FailNextDirect3DCreateForTest();
    InitEngine();
    EXPECT_EQ(std::string(platform::LastMessageBoxForTest()), "Error: Error initializing Direct3D");
    EXPECT_EQ(engine->renderer->device, nullptr);
    engine->Frame();  // no device: nothing happens, nothing fails

    Renderer other;
    platform::FailNextCreateDeviceForTest();
    EXPECT_EQ(other.Init(engine->window, 1024, 768, false), E_FAIL);
    EXPECT_EQ(std::string(platform::LastMessageBoxForTest()),
              "Error: Error creating Direct3D device");
    EXPECT_NE(other.direct3d, nullptr);
    EXPECT_EQ(other.device, nullptr);
    other.BeginFrame();
    other.EndFrame();
    EXPECT_EQ(platform::MessageBoxCountForTest(), 2);

    // Release clears what it freed, so later frames do nothing.
    Renderer third;
    ASSERT_EQ(third.Init(engine->window, 1024, 768, false), S_OK);
    third.Release();
    third.BeginFrame();
    third.EndFrame();
    EXPECT_EQ(third.device, nullptr);
}

}  // namespace
