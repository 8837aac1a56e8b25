// The savanna from end to end: the binary, headless, driven by a script and
// observed through its dump.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "support/run_process.h"

namespace {

int Occurrences(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

// The "text" of the entity with that id in one dump line.
std::string TextOf(const std::string& line, int id) {
    const auto at = line.find("{\"id\":" + std::to_string(id) + ",");
    const auto text = line.find("\"text\":\"", at);
    if (at == std::string::npos || text == std::string::npos) return "";
    const auto start = text + 8;
    return line.substr(start, line.find('"', start) - start);
}

TEST(SavannaEndToEnd, AGroupedHuntThinsTheHerdAndTheLineCountsWhatWasRegistered) {
    const std::string dir = MakeTempDir("savanna");
    WriteFile(dir + "/hunt.txt",
              "# ten lions, one per frame, then group mode on\n"
              "2 key DIK_2 down\n"
              "12 key DIK_2 up\n"
              "13 key DIK_6 down\n"
              "14 key DIK_6 up\n");
    auto run =
        RunProcess(VELMOR_BINARY, {"--level", "savanna", "--headless", "--frames", "1200",
                                   "--input", dir + "/hunt.txt", "--dump", dir + "/d.jsonl"});
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream in(ReadFile(dir + "/d.jsonl"));
    std::string line;
    int frames = 0, previous = -1, first = -1, last = -1;
    while (std::getline(in, line)) {
        ++frames;
        const int giraffes = Occurrences(line, "\"class\":\"Giraffe\"");
        // Grass 0-19, giraffes 20-119, then the giraffe line.
        const std::string shown = TextOf(line, 120);
        if (previous < 0)
            EXPECT_EQ(shown, "Giraffes 100");
        else
            ASSERT_EQ(shown, "Giraffes " + std::to_string(previous)) << "frame " << frames;
        if (frames == 20) {
            EXPECT_EQ(Occurrences(line, "\"class\":\"Lion\""), 10);
            EXPECT_EQ(Occurrences(line, "\"grouped\":true"), 10);
            EXPECT_EQ(TextOf(line, 121), "Lions 10");
            first = giraffes;
        }
        previous = last = giraffes;
    }
    EXPECT_EQ(frames, 1200);
    EXPECT_EQ(first, 100);
    EXPECT_LT(last, first) << "no giraffe was caught";
}

}  // namespace
