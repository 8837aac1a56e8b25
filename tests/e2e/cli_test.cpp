// The velmor binary as users and scripts run it.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/run_process.h"

namespace {

int Lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

TEST(Cli, ZeroFramesExitsCleanly) {
    const auto zero = RunProcess(VELMOR_BINARY, {"--headless", "--frames", "0"});
    EXPECT_EQ(zero.status, 0) << zero.err;
}

TEST(Cli, BadOptionsGiveOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--frames"},
        {"--frames", "-1"},
        {"--frames", "12x"},
        {"--level", "chess"},
        {"--clock-start", "soon"},
        {"--screenshot", "nocolon.png"},
        {"--screenshot", "0:zero.png"},
        {"--dump-every", "0"},
        {"--headless=yes"},
        {"--assets", "/nonexistent/velmor/content", "--headless", "--frames", "1"},
        {"--headless", "--frames", "1", "--audio-out", "/nonexistent/dir/x.wav"},
        {"--headless", "--frames", "2", "--screenshot", "5:late.png"},  // never presented
    };
    for (const auto& args : bad) {
        const auto r = RunProcess(VELMOR_BINARY, args);
        EXPECT_EQ(r.status, 2) << args[0];
        EXPECT_EQ(Lines(r.err), 1) << args[0] << ": " << r.err;
        EXPECT_EQ(r.err.rfind("velmor: ", 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

TEST(Cli, HelpAndVersionPrintAndExitZero) {
    const auto help = RunProcess(VELMOR_BINARY, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--headless"), std::string::npos);
    EXPECT_NE(help.out.find("--level"), std::string::npos);
    const auto version = RunProcess(VELMOR_BINARY, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("velmor ", 0), 0u);
}

TEST(Cli, WindowedWithoutDisplaySaysHowToRunAndStops) {
    const auto r = RunProcess(VELMOR_BINARY, {"--frames", "1"},
                              {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--headless"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("xvfb-run"), std::string::npos) << r.err;
}

}  // namespace
