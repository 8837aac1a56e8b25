#include "engine/renderer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "platform/core/debug.h"
#include "platform/driver.h"
#include "platform/testing/test_hooks.h"
#include "support/driver_spy.h"
#include "support/engine_fixture.h"

namespace {

// A headless video driver that refuses what a test asks it to, once each:
// no graphics at all, a device for the window, the start of a frame.
struct Refusals {
    static inline bool graphics = false, device = false, frame = false;
    static bool Once(bool& refuse) { return !std::exchange(refuse, false); }
    static bool Graphics() { return Once(graphics); }
    static bool Device(void*, int, int) { return Once(device); }
    static bool Frame(void*) { return Once(frame); }
};
const platform::VideoDriver kRefusing = {
    .name = "refusing",
    .realTime = false,
    .graphicsAvailable = Refusals::Graphics,
    .openDevice = Refusals::Device,
    .beginFrame = Refusals::Frame,
};

class RendererTest : public EngineTest {
  protected:
    void SetUp() override {
        saved_ = platform::InstalledDrivers();
        platform::InstallDrivers(platform::Drivers{.video = &kRefusing});
        EngineTest::SetUp();
    }
    void TearDown() override {
        EngineTest::TearDown();
        platform::InstallDrivers(saved_);
    }

  private:
    platform::Drivers saved_;
};

TEST_F(RendererTest, FailedBeginSceneIsNeitherEndedNorPresented) {
    InitEngine();
    Refusals::frame = true;
    engine->Frame();
    EXPECT_FALSE(engine->renderer->inScene);
    engine->Frame();
    EXPECT_EQ(engine->renderer->device->PresentCount(), 1);
}

// Each failure shows its message box; frames without a device do nothing.
TEST_F(RendererTest, DeviceFailuresShowTheirMessageBoxesAndLeaveFramesHarmless) {
    const DriverSpy spy;
    Refusals::graphics = true;
    InitEngine();
    EXPECT_EQ(DriverSpy::lastBox, "Error: Error initializing Direct3D");
    engine->Frame();
    Renderer other, third;
    Refusals::device = true;
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
