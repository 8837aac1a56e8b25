#include "app/run.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "platform/core/clock.h"
#include "platform/core/platform.h"
#include "platform/core/window.h"
#include "support/run_process.h"

namespace {

TEST(Run, HeadlessFramesPresentsExactlyThatManyOnTheVirtualClockWithoutSdl) {
    platform::Shutdown();  // a fresh platform context, which the run's Init takes over
    std::int64_t presented = 0, secondsAtFrame61 = 0;
    const int id = platform::AddPresentListener(
        [&](std::int64_t frame, const platform::PresentedImage& image) {
            EXPECT_EQ(frame, ++presented);
            EXPECT_TRUE(image.Width() == 1024 && image.Height() == 768 &&
                        image.Pixels()[0] == 0xFF000000u);  // cleared, no content
            if (frame == 60) secondsAtFrame61 = Time();
            EXPECT_TRUE(frame != 1 || SDL_WasInit(SDL_INIT_EVERYTHING) == 0u);  // no SDL at all
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
    EXPECT_EQ(secondsAtFrame61, 1001);  // a second per 60 presented frames
}

}  // namespace
