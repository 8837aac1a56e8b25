// A headless run of the real loop with a script: what the game reads, frame
// by frame, is what the script says for that frame.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/base_entity.h"
#include "engine/base_level.h"
#include "platform/core/clock.h"
#include "platform/core/input_script.h"
#include "support/engine_fixture.h"

namespace {

struct Reading {
    std::int64_t frame;
    bool left;
    bool space;
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
        Reading r;
        r.frame = platform::PresentedFrames() + 1;
        r.left = engine->input->KeyDown(DIK_LEFT);
        r.space = engine->input->KeyDown(DIK_SPACE);
        r.mouse = engine->input->GetMouseState();
        readings.push_back(r);
    }
    void Render() override {}
    std::vector<Reading> readings;
};

class ScriptedRun : public RunningEngineTest {
  protected:
    // Plays `script` through the level loop until the window closes (or a
    // backstop of 100 frames) and returns what the probe read.
    std::vector<Reading> Play(const std::string& script) {
        std::vector<platform::ScriptEvent> events;
        std::string error;
        EXPECT_TRUE(platform::ParseInputScript(script, "run.txt", &events, &error)) << error;
        InputProbe probe;
        const int player = platform::PlayInputScript(events);
        const int backstop =
            platform::AddPresentListener([](std::int64_t frame, const std::uint32_t*, int, int) {
                if (frame == 100 && engine->window) SendMessageA(engine->window, WM_CLOSE, 0, 0);
            });
        BaseLevel level;
        level.Run();
        platform::RemovePresentListener(backstop);
        platform::StopInputScript(player);
        return probe.readings;
    }
};

TEST_F(ScriptedRun, KeysMotionAndButtonsShowInTheFramesTheScriptNames) {
    const auto r = Play(
        "3 key DIK_LEFT down\n"
        "6 key DIK_LEFT up\n"
        "4 mouse 10 -4\n"
        "4 mouse 1 1\n"
        "5 button left down\n"
        "7 button left up\n"
        "8 key 0x39 down\n"
        "9 close\n");
    // The frame of the close still runs; the loop ends at the next pass.
    ASSERT_EQ(r.size(), 9u);
    for (const Reading& x : r) {
        const auto f = x.frame;
        EXPECT_EQ(f, static_cast<std::int64_t>(&x - r.data()) + 1);
        EXPECT_EQ(x.left, f >= 3 && f <= 5) << f;
        EXPECT_EQ(x.space, f >= 8) << f;
        EXPECT_EQ(x.mouse.lX, f == 4 ? 11 : 0) << f;
        EXPECT_EQ(x.mouse.lY, f == 4 ? -3 : 0) << f;
        EXPECT_EQ(x.mouse.lZ, 0) << f;
        EXPECT_EQ(x.mouse.rgbButtons[0], f == 5 || f == 6 ? 0x80 : 0) << f;
    }
}

TEST_F(ScriptedRun, ScriptedEscapeClosesTheWindowAsTheRealKeyDoes) {
    const auto r = Play("2 key DIK_ESCAPE down\n");
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r.back().frame, 2);
}

}  // namespace
