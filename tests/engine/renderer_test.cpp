#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/core/debug.h"
#include "platform/testing/test_hooks.h"
#include "support/driver_spy.h"
#include "support/engine_fixture.h"

namespace {

class RendererTest : public EngineTest {};

TEST_F(RendererTest, FailedBeginSceneIsNeitherEndedNorPresented) {
    InitEngine();
    platform::FailNextBeginSceneForTest();
    engine->Frame();
    EXPECT_FALSE(engine->renderer->inScene);
    engine->Frame();
    EXPECT_EQ(engine->renderer->device->PresentCount(), 1);
}

// Each failure shows its message box; frames without a device do nothing.
TEST_F(RendererTest, DeviceFailuresShowTheirMessageBoxesAndLeaveFramesHarmless) {
    const DriverSpy spy;
    platform::FailNextDirect3DCreateForTest();
    InitEngine();
    EXPECT_EQ(DriverSpy::lastBox, "Error: Error initializing Direct3D");
    engine->Frame();
    Renderer other, third;
    platform::FailNextCreateDeviceForTest();
    EXPECT_EQ(other.Init(engine->window, 1024, 768, false), E_FAIL);
    EXPECT_EQ(DriverSpy::lastBox, "Error: Error creating Direct3D device");
    EXPECT_EQ(DriverSpy::boxes, 2);
    ASSERT_EQ(third.Init(engine->window, 1024, 768, false), S_OK);
    third.Release();  // clears what it freed
    for (Renderer* r : {&other, &third}) {
        EXPECT_EQ(r->device, nullptr);
        r->BeginFrame();
        r->EndFrame();
    }
}

}  // namespace
