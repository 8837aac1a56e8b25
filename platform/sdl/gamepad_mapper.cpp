#include "platform/sdl/gamepad_mapper.h"

#include <algorithm>
#include <cmath>

#include "platform/core/dinput.h"

namespace platform::sdl {

// The one table of what each pad control holds.
int GamepadMapper::TargetOf(int control) {
    constexpr auto b = [](PadButton button) { return static_cast<int>(button); };
    static constexpr struct {
        int control;
        int target;
    } kTable[] = {
        {b(PadButton::kDpadLeft), DIK_LEFT},
        {kStickLeft, DIK_LEFT},
        {b(PadButton::kDpadRight), DIK_RIGHT},
        {kStickRight, DIK_RIGHT},
        {b(PadButton::kDpadUp), DIK_UP},
        {kStickUp, DIK_UP},
        {b(PadButton::kDpadDown), DIK_DOWN},
        {kStickDown, DIK_DOWN},
        {b(PadButton::kA), DIK_SPACE},
        {b(PadButton::kB), DIK_Z},
        {b(PadButton::kX), DIK_1},
        {b(PadButton::kY), DIK_2},
        {b(PadButton::kLeftStick), DIK_3},
        {b(PadButton::kRightStick), DIK_4},
        {b(PadButton::kLeftShoulder), DIK_5},
        {b(PadButton::kRightShoulder), DIK_6},
        {b(PadButton::kStart), DIK_P},
        {b(PadButton::kBack), DIK_ESCAPE},
        {kRightTrigger, kMouseTarget + 0},  // the left mouse button
    };
    for (const auto& entry : kTable)
        if (entry.control == control) return entry.target;
    return -1;
}

GamepadMapper::Pad& GamepadMapper::PadOf(int id) {
    const auto it =
        std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; });
    if (it != pads_.end()) return *it;
    pads_.push_back(Pad{.id = id});
    return pads_.back();
}

void GamepadMapper::Change(int target, int delta) {
    const bool was = holds_[target] > 0;
    holds_[target] += delta;
    const bool down = holds_[target] > 0;
    if (down == was) return;
    if (target >= kMouseTarget)
        out_.push_back(
            {.kind = Event::Kind::kMouseButton, .code = target - kMouseTarget, .down = down});
    else
        out_.push_back({.kind = Event::Kind::kKey, .code = target, .down = down});
}

void GamepadMapper::Set(Pad& pad, int control, bool on) {
    if (pad.held[control] == on) return;
    pad.held[control] = on;
    const int target = TargetOf(control);
    if (target >= 0) Change(target, on ? 1 : -1);
}

void GamepadMapper::Button(int pad, PadButton button, bool down) {
    if (button >= PadButton::kCount) return;
    Set(PadOf(pad), static_cast<int>(button), down);
}

void GamepadMapper::Axis(int id, PadAxis axis, int value) {
    Pad& pad = PadOf(id);
    const double v = std::clamp(value / 32767.0, -1.0, 1.0);
    // Down beyond kPress of the travel, up again only below kRelease.
    const auto travel = [&](int control, double t) {
        Set(pad, control, t > (pad.held[control] ? kRelease : kPress));
    };
    switch (axis) {
        case PadAxis::kLeftX:
            travel(kStickLeft, -v);
            travel(kStickRight, v);
            break;
        case PadAxis::kLeftY:
            travel(kStickUp, -v);
            travel(kStickDown, v);
            break;
        case PadAxis::kRightX:
            pad.aimX = v;
            break;
        case PadAxis::kRightY:
            pad.aimY = v;
            break;
        case PadAxis::kRightTrigger:
            travel(kRightTrigger, v);
            break;
        default:
            break;
    }
}

void GamepadMapper::RemovePad(int id) {
    const auto it =
        std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.id == id; });
    if (it == pads_.end()) return;
    for (int c = 0; c < kControlCount; ++c) Set(*it, c, false);
    pads_.erase(it);
}

// The keyboard and the mouse are one source per key or button, held or not:
// a second press without a release between (one the system lost) changes
// nothing, and the next release lets go.
void GamepadMapper::KeyboardMouse(int target, bool down) {
    if (keyboardMouse_[target] == static_cast<int>(down)) return;
    keyboardMouse_[target] = down;
    Change(target, down ? 1 : -1);
}

void GamepadMapper::Key(int dik, bool down) {
    if (dik >= 0 && dik < kMouseTarget) KeyboardMouse(dik, down);
}

void GamepadMapper::MouseButton(int button, bool down) {
    if (button >= 0 && button < kTargetCount - kMouseTarget)
        KeyboardMouse(kMouseTarget + button, down);
}

void GamepadMapper::EndPump() {
    double vx = 0, vy = 0;
    bool aiming = false;
    for (const Pad& pad : pads_) {
        const double length = std::hypot(pad.aimX, pad.aimY);
        const double travel = std::min(length, 1.0);
        if (travel <= kAimDeadZone) continue;
        aiming = true;
        const double past = (travel - kAimDeadZone) / (1.0 - kAimDeadZone);
        const double speed = kAimSpeed * past * past;
        vx += pad.aimX / length * speed;
        vy += pad.aimY / length * speed;
    }
    // A stick let go leaves no fraction behind for the next push.
    if (!aiming) {
        carryX_ = carryY_ = 0;
        return;
    }
    carryX_ += vx;
    carryY_ += vy;
    const int dx = static_cast<int>(carryX_), dy = static_cast<int>(carryY_);
    carryX_ -= dx;
    carryY_ -= dy;
    if (dx != 0 || dy != 0) out_.push_back({.kind = Event::Kind::kMotion, .dx = dx, .dy = dy});
}

std::vector<GamepadMapper::Event> GamepadMapper::Take() {
    std::vector<Event> events;
    events.swap(out_);
    return events;
}

}  // namespace platform::sdl
