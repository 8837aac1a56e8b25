// The velmor binary as users and scripts run it.
#include <gtest/gtest.h>

#include "support/run_process.h"

namespace {

TEST(Cli, BadOptionsGiveOneLineAndStatusTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--frames"},
        {"--frames", "12x"},
        {"--level", "chess"},
        {"--screenshot", "nocolon.png"},
        {"--screenshot", "0:zero.png"},
        {"--assets", "/nonexistent/velmor/content", "--headless", "--frames", "1"},
        {"--headless", "--frames", "1", "--audio-out", "/nonexistent/dir/x.wav"},
        {"--headless", "--frames", "2", "--screenshot", "5:late.png"},  // never presented
        {"--headless", "--input", "/nonexistent/script.txt"},
        {"--headless", "--frames", "1", "--record", "/nonexistent/dir/r.txt"},
    };
    for (const auto& args : bad) {
        const auto r = RunProcess(VELMOR_BINARY, args);
        EXPECT_TRUE(r.status == 2 && r.out.empty()) << args[0];
        EXPECT_TRUE(Count(r.err, "\n") == 1 && r.err.starts_with("velmor: "))
            << args[0] << ": " << r.err;
    }
}

TEST(Cli, HelpVersionAndZeroFramesExitZero) {
    for (std::vector<std::string> args :
         {std::vector<std::string>{"--help"}, {"--version"}, {"--headless", "--frames", "0"}})
        EXPECT_EQ(RunProcess(VELMOR_BINARY, args).status, 0) << args[0];
    EXPECT_EQ(RunProcess(VELMOR_BINARY, {"--version"}).out.rfind("velmor ", 0), 0u);
}

}  // namespace
