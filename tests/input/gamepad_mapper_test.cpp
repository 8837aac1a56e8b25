// Pads played as keys and mouse: the mapping, the sticks' thresholds, keys
// shared between sources, unplugging, and the right stick's aiming.
#include "platform/sdl/gamepad_mapper.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <vector>

#include "platform/core/dinput.h"

namespace platform::sdl {

void PrintTo(const GamepadMapper::Event& e, std::ostream* os) {
    *os << "{kind " << static_cast<int>(e.kind) << " code " << e.code << (e.down ? " down" : " up")
        << " " << e.dx << "," << e.dy << "}";
}

namespace {

using Event = GamepadMapper::Event;
using Events = std::vector<Event>;

Event Key(int dik, bool down) { return {.kind = Event::Kind::kKey, .code = dik, .down = down}; }
Event Mouse(bool down) { return {.kind = Event::Kind::kMouseButton, .code = 0, .down = down}; }

// A fraction of an axis's travel as SDL reports it.
int At(double travel) { return static_cast<int>(travel * 32767); }

TEST(GamepadMapper, EachControlHoldsItsKeyOrTheLeftMouseButton) {
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
    m.Axis(0, PadAxis::kRightTrigger, 32767);
    m.Axis(0, PadAxis::kRightTrigger, 0);
    EXPECT_EQ(m.Take(), (Events{Mouse(true), Mouse(false)}));
    // The left stick is the arrows; y grows downward.
    m.Axis(0, PadAxis::kLeftX, -32768);
    m.Axis(0, PadAxis::kLeftX, 32767);  // straight across: one up, the other down
    m.Axis(0, PadAxis::kLeftY, -32768);
    m.Axis(0, PadAxis::kLeftY, 32767);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_LEFT, true), Key(DIK_LEFT, false), Key(DIK_RIGHT, true),
                                Key(DIK_UP, true), Key(DIK_UP, false), Key(DIK_DOWN, true)}));
}

// Down beyond half the travel, up only below 35%: a stick or trigger
// resting near either threshold does not chatter.
TEST(GamepadMapper, SticksAndTriggerPressBeyondHalfAndLetGoBelowAThird) {
    GamepadMapper m;
    for (double t : {0.3, 0.49, 0.51, 0.45, 0.55, 0.36, 0.52, 0.34, 0.49, 0.2})
        m.Axis(0, PadAxis::kLeftX, At(t));
    EXPECT_EQ(m.Take(), (Events{Key(DIK_RIGHT, true), Key(DIK_RIGHT, false)}));
    for (double t : {-0.49, -0.51, -0.36, -0.34}) m.Axis(0, PadAxis::kLeftY, At(t));
    EXPECT_EQ(m.Take(), (Events{Key(DIK_UP, true), Key(DIK_UP, false)}));
    for (double t : {0.49, 0.51, 0.36, 0.51, 0.34}) m.Axis(0, PadAxis::kRightTrigger, At(t));
    EXPECT_EQ(m.Take(), (Events{Mouse(true), Mouse(false)}));
}

// A key goes up with the last of its sources: the D-pad and the stick, two
// pads, a pad and the keyboard, the trigger and the mouse.
TEST(GamepadMapper, AKeyHeldByTwoSourcesGoesUpWithTheLast) {
    GamepadMapper m;
    m.Button(0, PadButton::kDpadLeft, true);
    m.Axis(0, PadAxis::kLeftX, -32768);
    m.Button(0, PadButton::kDpadLeft, false);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_LEFT, true)}));
    m.Axis(0, PadAxis::kLeftX, 0);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_LEFT, false)}));

    m.Button(1, PadButton::kA, true);
    m.Button(2, PadButton::kA, true);
    m.Key(DIK_SPACE, true);
    m.Button(1, PadButton::kA, false);
    m.Key(DIK_SPACE, false);
    m.Key(DIK_SPACE, false);  // a stray release takes nothing from the pads
    EXPECT_EQ(m.Take(), (Events{Key(DIK_SPACE, true)}));
    m.Button(2, PadButton::kA, false);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_SPACE, false)}));

    m.MouseButton(0, true);
    m.Axis(1, PadAxis::kRightTrigger, 32767);
    m.MouseButton(0, false);
    EXPECT_EQ(m.Take(), (Events{Mouse(true)}));
    m.Axis(1, PadAxis::kRightTrigger, 0);
    EXPECT_EQ(m.Take(), (Events{Mouse(false)}));
}

TEST(GamepadMapper, AnUnpluggedPadLetsGoOfAllItHeld) {
    GamepadMapper m;
    m.Button(7, PadButton::kA, true);
    m.Button(7, PadButton::kDpadRight, true);
    m.Axis(7, PadAxis::kLeftX, 32767);
    m.Axis(7, PadAxis::kRightTrigger, 32767);
    m.Button(8, PadButton::kA, true);
    m.Key(DIK_RIGHT, true);
    m.Take();
    m.RemovePad(7);
    EXPECT_EQ(m.Take(), (Events{Mouse(false)}));  // the other pad and the keyboard still hold
    m.Key(DIK_RIGHT, false);
    m.RemovePad(8);
    EXPECT_EQ(m.Take(), (Events{Key(DIK_RIGHT, false), Key(DIK_SPACE, false)}));
    // Plugged in again, the pad starts afresh: 40% of the stick is not enough.
    m.Axis(7, PadAxis::kLeftX, At(0.4));
    m.RemovePad(7);
    m.RemovePad(9);
    EXPECT_TRUE(m.Take().empty());
}

// Total motion of `pumps` pumps with the right stick at (x, y), and the
// largest single step; then the stick is let go.
struct Aim {
    int dx = 0, dy = 0, largest = 0;
};
Aim AimFor(GamepadMapper& m, double x, double y, int pumps) {
    m.Axis(0, PadAxis::kRightX, At(x));
    m.Axis(0, PadAxis::kRightY, At(y));
    Aim aim;
    for (int i = 0; i < pumps; ++i) {
        m.EndPump();
        for (const Event& e : m.Take()) {
            EXPECT_EQ(e.kind, Event::Kind::kMotion);
            aim.dx += e.dx;
            aim.dy += e.dy;
            aim.largest = std::max({aim.largest, std::abs(e.dx), std::abs(e.dy)});
        }
    }
    // Let go: the fraction left over is dropped, not carried into the next push.
    m.Axis(0, PadAxis::kRightX, 0);
    m.Axis(0, PadAxis::kRightY, 0);
    m.EndPump();
    EXPECT_TRUE(m.Take().empty());
    return aim;
}

// The right stick moves the mouse once a pump, not per axis event: nothing
// inside a quarter of its travel, 12 counts a pump at full travel, slowly
// for a small push, with fractions carried from pump to pump.
TEST(GamepadMapper, TheRightStickAimsOnceAPumpWithFractionsCarried) {
    GamepadMapper m;
    for (int i = 4; i >= 0; --i) m.Axis(0, PadAxis::kRightX, 32767 - i * 1000);
    EXPECT_TRUE(m.Take().empty());
    m.EndPump();
    EXPECT_EQ(m.Take(), (Events{{.kind = Event::Kind::kMotion, .dx = 12}}));

    Aim aim = AimFor(m, 0.2, -0.1, 100);
    EXPECT_EQ(aim.dx, 0);
    EXPECT_EQ(aim.dy, 0);
    aim = AimFor(m, 0, -1.0, 10);
    EXPECT_TRUE(aim.dx == 0 && aim.dy == -120) << aim.dy;
    // 40%: a fifth of the way past the dead zone, 12/25 of a count a pump.
    aim = AimFor(m, 0.4, 0, 100);
    EXPECT_NEAR(aim.dx, 48, 1);
    EXPECT_EQ(aim.largest, 1);
    // Half way past the dead zone is a quarter of the speed, not a half.
    aim = AimFor(m, -0.625, 0, 100);
    EXPECT_NEAR(aim.dx, -300, 1);
    // A diagonal goes at the same speed as a straight push.
    aim = AimFor(m, 1.0, 1.0, 10);
    EXPECT_NEAR(aim.dx, 85, 1);
    EXPECT_EQ(aim.dx, aim.dy);
}

}  // namespace
}  // namespace platform::sdl
