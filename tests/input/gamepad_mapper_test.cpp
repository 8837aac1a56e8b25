// Pads played as keys and mouse: the mapping and its thresholds, keys shared
// between sources and let go by an unplugged pad, the right stick's aim.
#include "platform/sdl/gamepad_mapper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/core/dinput.h"

namespace platform::sdl {

namespace {

using Event = GamepadMapper::Event;
using Events = std::vector<Event>;

Event Key(int dik, bool down) { return {.kind = Event::Kind::kKey, .code = dik, .down = down}; }
Event Mouse(bool down) { return {.kind = Event::Kind::kMouseButton, .code = 0, .down = down}; }
// A fraction of an axis's travel as SDL reports it.
int At(double travel) { return static_cast<int>(travel * 32767); }

TEST(GamepadMapper, EachControlHoldsItsKeyOrButtonWithoutChatter) {
    const std::pair<PadButton, int> keys[] = {
        {PadButton::kA, DIK_SPACE},
        {PadButton::kB, DIK_Z},
        {PadButton::kX, DIK_1},
        {PadButton::kY, DIK_2},
        {PadButton::kLeftStick, DIK_3},
        {PadButton::kRightStick, DIK_4},
        {PadButton::kLeftShoulder, DIK_5},
        {PadButton::kRightShoulder, DIK_6},
        {PadButton::kStart, DIK_P},
        {PadButton::kBack, DIK_ESCAPE},
        {PadButton::kDpadLeft, DIK_LEFT},
        {PadButton::kDpadRight, DIK_RIGHT},
        {PadButton::kDpadUp, DIK_UP},
        {PadButton::kDpadDown, DIK_DOWN},
    };
    GamepadMapper m;
    for (const auto& [button, dik] : keys) {
        m.Button(0, button, true);
        m.Button(0, button, true);  // no repeat while held
        m.Button(0, button, false);
        EXPECT_EQ(m.Take(), (Events{Key(dik, true), Key(dik, false)})) << dik;
    }
    m.Button(0, PadButton::kGuide, true);
    m.Axis(0, PadAxis::kLeftTrigger, 32767);
    EXPECT_TRUE(m.Take().empty());
    // Down beyond half the travel, up only below 35%; y grows downward.
    for (double t : {0.3, 0.49, 0.51, 0.45, 0.55, 0.36, 0.52, 0.34, 0.49, 0.2})
        m.Axis(0, PadAxis::kLeftX, At(t));
    for (double t : {-0.51, -0.36, 1.0, 0.34}) m.Axis(0, PadAxis::kLeftY, At(t));
    for (double t : {0.49, 0.51, 0.36, 0.51, 0.34}) m.Axis(0, PadAxis::kRightTrigger, At(t));
    EXPECT_EQ(m.Take(), (Events{Key(DIK_RIGHT, true), Key(DIK_RIGHT, false), Key(DIK_UP, true),
                                Key(DIK_UP, false), Key(DIK_DOWN, true), Key(DIK_DOWN, false),
                                Mouse(true), Mouse(false)}));
}

// A key goes up with the last of its sources (the D-pad and the stick, two
// pads, a pad and the keyboard or mouse); a pad unplugged lets go of all it
// held, and plugged in again it starts afresh.
TEST(GamepadMapper, AKeyGoesUpWithItsLastSourceAndAnUnpluggedPadLetsGo) {
    GamepadMapper m;
    m.Button(0, PadButton::kDpadLeft, true);
    m.Axis(0, PadAxis::kLeftX, -32768);
    m.Button(0, PadButton::kDpadLeft, false);
    m.Button(0, PadButton::kA, true);
    m.Axis(0, PadAxis::kRightTrigger, 32767);
    m.Button(1, PadButton::kA, true);
    m.Key(DIK_SPACE, true);
    m.MouseButton(0, true);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_LEFT, true), Key(DIK_SPACE, true), Mouse(true)}));
    m.RemovePad(0);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_LEFT, false)}));
    m.Key(DIK_SPACE, false);
    m.Key(DIK_SPACE, false);  // a stray release takes nothing from the pad
    m.MouseButton(0, false);
    EXPECT_EQ(m.Take(), (Events{Mouse(false)}));
    m.RemovePad(1);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_SPACE, false)}));
    m.Axis(0, PadAxis::kLeftX, At(0.4));
    EXPECT_TRUE(m.Take().empty());
}

// The motion of `pumps` pumps with the right stick at (x, 0), and its largest
// step; then the stick is let go.
std::pair<int, int> AimFor(GamepadMapper& m, double x, int pumps) {
    int dx = 0, largest = 0;
    m.Axis(0, PadAxis::kRightX, At(x));
    for (int i = 0; i < pumps; ++i) {
        m.EndPump();
        for (const Event& e : m.Take()) {
            dx += e.dx;
            largest = std::max(largest, std::abs(e.dx));
        }
    }
    m.Axis(0, PadAxis::kRightX, 0);
    m.EndPump();  // the fraction left over is dropped, not carried into the next push
    return {dx, largest};
}

// Nothing inside a quarter of the travel; beyond it the speed grows with the
// square of the travel past the dead zone, the fractions carried from pump
// to pump. (Full travel, once a pump, is checked in a windowed run.)
TEST(GamepadMapper, TheRightStickAimsFinelyWithFractionsCarried) {
    GamepadMapper m;
    EXPECT_EQ(AimFor(m, 0.24, 100).first, 0);
    const auto [fine, step] = AimFor(m, 0.4, 100);  // 0.48 counts a pump
    EXPECT_NEAR(fine, 48, 1);
    EXPECT_EQ(step, 1);
    EXPECT_NEAR(AimFor(m, -0.625, 100).first, -300, 1);  // half way past it: a quarter
}

}  // namespace
}  // namespace platform::sdl
