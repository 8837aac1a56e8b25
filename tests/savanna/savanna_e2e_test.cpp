#include <gtest/gtest.h>

#include <string>

#include "support/run_output.h"

namespace {

TEST(SavannaEndToEnd, AGroupedHuntThinsTheHerdAndTheLineCountsWhatWasRegistered) {
    const std::string dir = MakeTempDir("savanna");
    // Ten lions, one a frame, then group mode on.
    WriteFile(dir + "/hunt.txt",
              "2 key DIK_2 down\n12 key DIK_2 up\n13 key DIK_6 down\n14 key DIK_6 up\n");
    auto run =
        RunProcess(VELMOR_BINARY, {"--level", "savanna", "--headless", "--frames", "1200",
                                   "--input", dir + "/hunt.txt", "--dump", dir + "/d.jsonl"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto dump = DumpFrames(dir + "/d.jsonl");
    ASSERT_EQ(dump.size(), 1201u);
    int previous = 100;
    for (int frame = 1; frame <= 1200; ++frame) {
        // Entity 120 is the giraffe line: it shows the count the frame before ended with.
        ASSERT_EQ(DumpText(dump[frame], 120), "Giraffes " + std::to_string(previous)) << frame;
        previous = Count(dump[frame], "\"class\":\"Giraffe\"");
    }
    EXPECT_EQ(Count(dump[20], "\"class\":\"Giraffe\""), 100);
    EXPECT_EQ(Count(dump[20], "\"grouped\":true"), 10);
    EXPECT_EQ(DumpText(dump[20], 121), "Lions 10");
    EXPECT_LT(previous, 100) << "no giraffe was caught";
}

}  // namespace
