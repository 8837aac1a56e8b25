// Every level's screenshots are the same bytes with one drawing worker as
// with 3 and 7, every frame sent to the workers (small ones included).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/run_process.h"

namespace {

TEST(Workers, EveryLevelShowsTheSameBytesWithOneThreeAndSevenWorkers) {
    const std::string dir = MakeTempDir("workers");
    for (const std::string level : {"sprite", "savanna", "shooter", "tiger", "breakout"}) {
        std::vector<std::string> shots;
        for (const std::string workers : {"1", "3", "7"}) {
            const std::string a = dir + "/" + level + workers + "a.png";
            const std::string b = dir + "/" + level + workers + "b.png";
            const auto r = RunProcess(
                "/usr/bin/env", {"VELMOR_THREADS=" + workers, "VELMOR_PARALLEL_MIN_PIXELS=0",
                                 VELMOR_BINARY, "--headless", "--level", level, "--frames", "150",
                                 "--screenshot", "60:" + a, "--screenshot", "150:" + b});
            ASSERT_EQ(r.status, 0) << level << ": " << r.err;
            shots.push_back(ReadFile(a) + ReadFile(b));
        }
        EXPECT_FALSE(shots[0].empty()) << level;
        EXPECT_TRUE(shots[1] == shots[0] && shots[2] == shots[0]) << level;
    }
}

}  // namespace
