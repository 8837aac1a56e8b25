// The savanna through the binary, headless, driven by a script and observed
// through its dump.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/run_process.h"

namespace {

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The "text" of the entity with that id in one dump line.
std::string TextOf(const std::string& line, int id) {
    const auto at = line.find("\"text\":\"", line.find("{\"id\":" + std::to_string(id) + ","));
    return at == std::string::npos ? "" : line.substr(at + 8, line.find('"', at + 8) - at - 8);
}

TEST(SavannaEndToEnd, AGroupedHuntThinsTheHerdAndTheLineCountsWhatWasRegistered) {
    const std::string dir = MakeTempDir("savanna");
    // Ten lions, one a frame, then group mode on.
    WriteFile(dir + "/hunt.txt",
              "2 key DIK_2 down\n12 key DIK_2 up\n13 key DIK_6 down\n14 key DIK_6 up\n");
    auto run =
        RunProcess(VELMOR_BINARY, {"--level", "savanna", "--headless", "--frames", "1200",
                                   "--input", dir + "/hunt.txt", "--dump", dir + "/d.jsonl"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream in(ReadFile(dir + "/d.jsonl"));
    int frames = 0, previous = 100, last = 0;
    for (std::string line; std::getline(in, line);) {
        ++frames;
        // Grass 0-19, giraffes 20-119, then the giraffe line: it shows the
        // count the frame before ended with.
        ASSERT_EQ(TextOf(line, 120), "Giraffes " + std::to_string(previous)) << "frame " << frames;
        previous = last = Occurrences(line, "\"class\":\"Giraffe\"");
        if (frames == 20) {
            EXPECT_EQ(last, 100);
            EXPECT_EQ(Occurrences(line, "\"class\":\"Lion\""), 10);
            EXPECT_EQ(Occurrences(line, "\"grouped\":true"), 10);
            EXPECT_EQ(TextOf(line, 121), "Lions 10");
        }
    }
    EXPECT_EQ(frames, 1200);
    EXPECT_LT(last, 100) << "no giraffe was caught";
}

}  // namespace
