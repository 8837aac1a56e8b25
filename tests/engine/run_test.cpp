#include "app/run.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include "engine/base_level.h"
#include "entities/base_sprite.h"
#include "game/velmor_levels.h"
#include "platform/core/clock.h"
#include "platform/core/debug.h"
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
    EXPECT_EQ(RunGame(8, argv, VelmorGame()), 0);
    ASSERT_EQ(chdir(cwd), 0);
    platform::RemovePresentListener(id);
    EXPECT_EQ(presented, 61);
    EXPECT_EQ(secondsAtFrame61, 1001);  // a second per 60 presented frames
}

// A game of its own hands RunGame its table: the help, the level names, the
// window's level and every line the run writes carry the game's name and
// levels, none of Velmor's.
TEST(Run, AGamesOwnTableNamesItsHelpItsLevelsAndItsMessages) {
    struct Blank : BaseLevel {
        void Init() override { new BaseSprite("nothing.bmp"); }
    };
    static constexpr const char* kFiles[] = {"nothing.bmp"};
    static constexpr LevelInfo kLevels[] = {
        {"first", [] { return static_cast<BaseLevel*>(new Blank()); }, kFiles, "one", "none"},
        {"second", [] { return static_cast<BaseLevel*>(new Blank()); }, kFiles, "two", "none"}};
    static constexpr GameInfo kGame = {.name = "tiny", .version = "9.9", .levels = kLevels};
    auto run = [](std::vector<const char*> args) {
        args.insert(args.begin(), "tiny");
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        const int rc = RunGame(static_cast<int>(args.size()), args.data(), kGame);
        const std::string out = testing::internal::GetCapturedStdout();
        return std::make_pair(rc, out + testing::internal::GetCapturedStderr());
    };
    EXPECT_EQ(run({"--version"}), std::make_pair(0, std::string("tiny 9.9\n")));
    const auto [helpRc, help] = run({"--help"});
    EXPECT_EQ(helpRc, 0);
    EXPECT_EQ(help.rfind("usage: tiny [--menu | --level first|second] [--headless]\n", 0), 0u)
        << help;
    EXPECT_EQ(help.find("sprite"), std::string::npos);
    EXPECT_EQ(run({"--level", "sprite"}),
              std::make_pair(2, std::string("tiny: unknown level 'sprite' (choose first or "
                                            "second)\n")));

    platform::Shutdown();
    const std::string folder = MakeTempDir("tiny");
    WriteFile(folder + "/nothing.bmp", "not a bitmap");
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const auto [rc, said] =
        run({"--headless", "--frames", "2", "--level", "second", "--assets", folder.c_str()});
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(said.rfind("tiny: cannot load 'nothing.bmp'", 0), 0u) << said;
    platform::SetProgramName("velmor");
}

}  // namespace
