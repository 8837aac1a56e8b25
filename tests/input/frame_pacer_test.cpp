// The window's pacing: deadlines k/60 s from the start, never a whole period
// after the last present, no catching up after a stall, and a retrace that
// does not wait is noticed.
#include "platform/sdl/frame_pacer.h"

#include <gtest/gtest.h>

namespace {

using platform::sdl::FramePacer;
constexpr std::int64_t T = FramePacer::kPeriod;
constexpr std::int64_t kMs = 1'000'000;

TEST(FramePacer, FramesAreDueOnTheGridWhateverTheirWorkTook) {
    FramePacer p;
    std::int64_t now = 5 * kMs;
    EXPECT_EQ(p.NextShow(now), now);  // the first frame shows at once
    const std::int64_t start = now;
    // Work of 12 ms and a present of 3 ms fall inside the period: frame k
    // still shows at start + k periods, so 60 frames take one second.
    for (int k = 1; k <= 60; ++k) {
        now += 15 * kMs;
        const std::int64_t show = p.NextShow(now);
        EXPECT_EQ(show, start + k * T) << k;
        now = show;
    }
    // A frame a little late shows at once; the next one is due on the grid.
    now = start + 61 * T + 5 * kMs;
    EXPECT_EQ(p.NextShow(now), now);
    EXPECT_EQ(p.NextShow(now + kMs), start + 62 * T);
}

TEST(FramePacer, AStallRestartsTheCountInsteadOfRunningFast) {
    FramePacer p;
    p.NextShow(0);
    p.NextShow(T);
    const std::int64_t late = 2 * T + 500 * kMs;  // half a second behind
    EXPECT_EQ(p.NextShow(late), late);
    EXPECT_EQ(p.NextShow(late + kMs), late + T);  // one period later, not at once
    EXPECT_EQ(p.NextShow(late + T + kMs), late + 2 * T);
}

TEST(FramePacer, ARetraceThatDoesNotWaitIsNoticedAfterAFewFrames) {
    FramePacer waits;
    for (int k = 0; k < 100; ++k) EXPECT_FALSE(waits.RetraceIgnored(k * T + (k % 3) * kMs));
    // Two or three frames queued at once are normal; a run of them is not.
    FramePacer queued;
    for (int k = 0; k < 3; ++k) EXPECT_FALSE(queued.RetraceIgnored(k * kMs));
    for (int k = 1; k < 50; ++k) EXPECT_FALSE(queued.RetraceIgnored(k * T));
    FramePacer never;
    int frames = 0;
    while (!never.RetraceIgnored(frames * kMs) && frames < 100) ++frames;
    EXPECT_LE(frames, 10);
}

}  // namespace
