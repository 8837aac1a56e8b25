/// @file
/// One input event as a script line states it and as the input devices report
/// what they take in: a key, mouse motion, a button, the close button, the
/// wheel, the focus, or a clock setting.
#pragma once

#include <cstdint>

namespace platform {

struct ScriptEvent {
    enum class Kind { kKey, kMouse, kButton, kClose, kWheel, kFocus, kClock };
    std::int64_t frame = 0;  ///< from 1; 0 for a clock event of the set-up
    Kind kind = Kind::kClose;
    int code = 0;       ///< key: DIK_ code; button: 0 left, 1 right, 2 middle, 3 X1
    bool down = false;  ///< keys and buttons; focus: true for in
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t notches = 0;  ///< wheel
    std::int64_t seconds = 0;  ///< clock: calendar seconds since 1970
    int millis = 0;            ///< clock: 0-999
    int line = 0;              ///< where the event stands in its file
};

}  // namespace platform
