// Paces presentation to 60 frames a second. Times are nanoseconds on one
// steady clock. Two ways: sleeping to deadlines (frame k is due at start +
// k periods, so the frame's own work and the present fall inside the
// period), or the display's retrace where it runs at 60 Hz, never both.
#pragma once

#include <algorithm>
#include <cstdint>

namespace platform::sdl {

class FramePacer {
  public:
    static constexpr std::int64_t kPeriod = 1'000'000'000 / 60;

    // When the next frame should be shown, given the time now: its
    // deadline, or now once it is due. A loop more than two frames behind
    // (a slow machine, a stall) counts again from now instead of running
    // fast to catch up.
    std::int64_t NextShow(std::int64_t now) {
        if (start_ < 0 || now - (start_ + count_ * kPeriod) > 2 * kPeriod) {
            start_ = now;
            count_ = 0;
        }
        const std::int64_t due = start_ + count_++ * kPeriod;
        return std::max(due, now);
    }

    // With the retrace: called after each present. True once presents have
    // come back faster than the retrace could allow several times running
    // (a display that says 60 Hz but does not wait): pace by deadlines then.
    bool RetraceIgnored(std::int64_t presentedAt) {
        fast_ = last_ >= 0 && presentedAt - last_ < kPeriod / 2 ? fast_ + 1 : 0;
        last_ = presentedAt;
        return fast_ >= kFastPresentsToGiveUp;
    }

    // Starts both ways afresh (a change of way or of display).
    void Restart() { *this = FramePacer{}; }

  private:
    // A driver may queue two or three frames before its first wait.
    static constexpr int kFastPresentsToGiveUp = 8;
    std::int64_t start_ = -1;
    std::int64_t count_ = 0;
    std::int64_t last_ = -1;
    int fast_ = 0;
};

}  // namespace platform::sdl
