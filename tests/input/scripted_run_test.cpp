// A headless run of the real loop with a script: what the game reads, frame
// by frame, is what the script says for that frame (motion and wheel
// accumulated within it and consumed by the read).
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "engine/base_entity.h"
#include "engine/base_level.h"
#include "platform/core/clock.h"
#include "platform/core/input_script.h"
#include "support/engine_fixture.h"

namespace {

struct Reading {
    std::int64_t frame;
    bool left, space;
    DIMOUSESTATE mouse;
};

// Reads the devices in its update as game objects do.
class InputProbe : public BaseEntity {
  public:
    InputProbe() {
        kind = 77;
        engine->registry->Add(this, kind);
    }
    void Update() override {
        readings.push_back({platform::PresentedFrames() + 1, engine->input->KeyDown(DIK_LEFT),
                            engine->input->KeyDown(DIK_SPACE), engine->input->GetMouseState()});
    }
    void Render() override {}
    std::vector<Reading> readings;
};

using ScriptedRun = RunningEngineTest;

TEST_F(ScriptedRun, KeysMotionAndButtonsShowInTheFramesTheScriptNames) {
    std::vector<platform::ScriptEvent> events;
    std::string error;
    ASSERT_TRUE(platform::ParseInputScript(
        "3 key DIK_LEFT down\n6 key DIK_LEFT up\n4 mouse 10 -4\n4 mouse 1 1\n4 wheel -2\n"
        "5 button left down\n7 button left up\n8 key 0x39 down\n9 close\n",
        "run.txt", &events, &error))
        << error;
    InputProbe probe;
    const int player = platform::PlayInputScript(events);
    // A backstop, should the close not end the loop.
    const int backstop =
        platform::AddPresentListener([](std::int64_t frame, const platform::PresentedImage&) {
            if (frame == 100 && engine->window) SendMessageA(engine->window, WM_CLOSE, 0, 0);
        });
    BaseLevel level;
    level.Run();
    platform::RemovePresentListener(backstop);
    platform::StopInputScript(player);
    const std::vector<Reading>& r = probe.readings;
    // The frame of the close still runs; the loop ends at the next pass.
    ASSERT_EQ(r.size(), 9u);
    for (const Reading& x : r) {
        const auto f = x.frame;
        EXPECT_EQ(f, static_cast<std::int64_t>(&x - r.data()) + 1);
        const DIMOUSESTATE& m = x.mouse;
        EXPECT_EQ(std::tuple(x.left, x.space, m.lX, m.lY, m.lZ, int(m.rgbButtons[0])),
                  std::tuple(f >= 3 && f <= 5, f >= 8, f == 4 ? 11 : 0, f == 4 ? -3 : 0,
                             f == 4 ? -240 : 0, f == 5 || f == 6 ? 0x80 : 0))
            << "frame " << f;
    }
}

}  // namespace
