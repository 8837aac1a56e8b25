// The program run in-process: options, platform set-up and the frame count.
#include "app/run.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/core/clock.h"
#include "platform/core/platform.h"
#include "platform/core/window.h"
#include "platform/testing/test_hooks.h"
#include "support/run_process.h"

namespace {

TEST(Run, HeadlessFramesPresentsExactlyThatManyOnTheVirtualClockWithoutSdl) {
    platform::ResetWindowsForTest();
    int presented = 0;
    std::int64_t lastFrame = 0;
    std::int64_t secondsAtFrame61 = 0;
    const int id = platform::AddPresentListener(
        [&](std::int64_t frame, const std::uint32_t* pixels, int w, int h) {
            ++presented;
            lastFrame = frame;
            EXPECT_EQ(w * h, 1024 * 768);
            EXPECT_EQ(pixels[0], 0xFF000000u);  // cleared to black; no content to draw
            if (frame == 60) secondsAtFrame61 = Time();
            // Headless runs need no display or sound hardware: SDL's video,
            // audio and event subsystems are never started.
            if (frame == 1) {
                EXPECT_EQ(SDL_WasInit(SDL_INIT_EVERYTHING), 0u);
            }
        });
    // A content folder without the gallery's drawn images (a folder with none
    // of its files at all is refused): the gallery runs with them missing.
    const std::string empty = MakeTempDir("nocontent");
    WriteFile(empty + "/bunny.bmp", "");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const char* argv[] = {"velmor",        "--headless", "--frames", "61",
                          "--clock-start", "1000",       "--assets", empty.c_str()};
    EXPECT_EQ(RunVelmor(8, argv), 0);
    ASSERT_EQ(chdir(cwd), 0);
    platform::RemovePresentListener(id);
    EXPECT_EQ(presented, 61);
    EXPECT_EQ(lastFrame, 61);
    // After 60 presented frames the calendar clock has moved one second.
    EXPECT_EQ(secondsAtFrame61, 1001);
}

TEST(Run, VirtualSystemTimeHasFrameMilliseconds) {
    platform::UseVirtualClock(1700000000);
    platform::SetPresentedFramesForTest(59);
    SYSTEMTIME st;
    GetSystemTime(&st);
    EXPECT_EQ(st.wMilliseconds, 983);
    platform::SetPresentedFramesForTest(60);
    GetSystemTime(&st);
    EXPECT_EQ(st.wMilliseconds, 0);
    EXPECT_EQ(st.wHour, 22);  // 1700000000 is 2023-11-14 22:13:20 UTC
    EXPECT_EQ(st.wSecond, 21);
}

}  // namespace
