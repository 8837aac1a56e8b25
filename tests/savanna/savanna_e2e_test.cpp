// The savanna through the binary, headless, driven by a script and observed
// through its dump.
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
    int previous = 100, last = 0;
    for (int frames = 1; frames < static_cast<int>(dump.size()); ++frames) {
        const std::string& line = dump[frames];
        // Grass 0-19, giraffes 20-119, then the giraffe line: it shows the
        // count the frame before ended with.
        ASSERT_EQ(DumpText(line, 120), "Giraffes " + std::to_string(previous))
            << "frame " << frames;
        previous = last = Count(line, "\"class\":\"Giraffe\"");
        if (frames == 20) {
            EXPECT_EQ(last, 100);
            EXPECT_EQ(Count(line, "\"class\":\"Lion\""), 10);
            EXPECT_EQ(Count(line, "\"grouped\":true"), 10);
            EXPECT_EQ(DumpText(line, 121), "Lions 10");
        }
    }
    EXPECT_EQ(dump.size(), 1201u);
    EXPECT_LT(last, 100) << "no giraffe was caught";
}

}  // namespace
