// Game controllers played as the keyboard and mouse the levels already read:
// each pad control holds a key or a mouse button, the left stick holds the
// arrow keys, the right stick moves the mouse. No SDL here: the driver hands
// in SDL's controller values and injects what comes out.
//
// A key or button held by several sources (the D-pad and the stick, two
// pads, a pad and the keyboard) goes down with the first and up with the
// last; each change comes out once.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace platform::sdl {

// A pad's buttons, numbered as SDL numbers its game-controller buttons.
enum class PadButton : std::uint8_t {
    kA,
    kB,
    kX,
    kY,
    kBack,
    kGuide,
    kStart,
    kLeftStick,
    kRightStick,
    kLeftShoulder,
    kRightShoulder,
    kDpadUp,
    kDpadDown,
    kDpadLeft,
    kDpadRight,
    kCount
};

// A pad's axes, numbered as SDL numbers them. Sticks read -32768..32767
// (x grows rightward, y downward), triggers 0..32767.
enum class PadAxis : std::uint8_t {
    kLeftX,
    kLeftY,
    kRightX,
    kRightY,
    kLeftTrigger,
    kRightTrigger,
    kCount
};

class GamepadMapper {
  public:
    // A stick direction or the trigger goes down beyond kPress of its travel
    // and up below kRelease, so a value near one threshold cannot chatter.
    static constexpr double kPress = 0.50;
    static constexpr double kRelease = 0.35;
    // The right stick moves the mouse beyond kAimDeadZone of its travel, up
    // to kAimSpeed counts a pump at full travel; the speed grows with the
    // square of the travel past the dead zone, so small pushes aim finely.
    static constexpr double kAimDeadZone = 0.25;
    static constexpr double kAimSpeed = 12.0;

    struct Event {
        enum class Kind : std::uint8_t { kKey, kMouseButton, kMotion };
        Kind kind = Kind::kKey;
        int code = 0;  // DIK_ code, or mouse button (0 left)
        bool down = false;
        int dx = 0, dy = 0;
        bool operator==(const Event&) const = default;
    };

    // Pads are told apart by `pad` (SDL's instance id); a pad is known from
    // its first value on.
    void Button(int pad, PadButton button, bool down);
    void Axis(int pad, PadAxis axis, int value);
    // The pad is gone: whatever it held is let go.
    void RemovePad(int pad);
    // The keyboard and mouse, sharing their keys and buttons with the pads.
    void Key(int dik, bool down);
    void MouseButton(int button, bool down);
    // Ends one pump of events: the right sticks' motion for it, with the
    // fractions carried to the next pump.
    void EndPump();
    // What came out since the last call, in order.
    std::vector<Event> Take();

  private:
    // Pad controls: its buttons, then the left stick's four directions and
    // the right trigger.
    enum Control : std::uint8_t {
        kStickLeft = static_cast<std::uint8_t>(PadButton::kCount),
        kStickRight,
        kStickUp,
        kStickDown,
        kRightTrigger,
        kControlCount
    };
    // Targets: the 256 key codes, then the mouse buttons.
    static constexpr int kMouseTarget = 256;
    static constexpr int kTargetCount = kMouseTarget + 4;

    struct Pad {
        int id = 0;
        std::array<bool, kControlCount> held{};
        double aimX = 0, aimY = 0;
    };

    static int TargetOf(int control);
    Pad& PadOf(int id);
    void Set(Pad& pad, int control, bool on);
    void Change(int target, int delta);
    void KeyboardMouse(int target, bool down);

    std::vector<Pad> pads_;
    std::array<int, kTargetCount> keyboardMouse_{};  // 1 while held
    std::array<int, kTargetCount> holds_{};          // every source's
    double carryX_ = 0, carryY_ = 0;
    std::vector<Event> out_;
};

}  // namespace platform::sdl
