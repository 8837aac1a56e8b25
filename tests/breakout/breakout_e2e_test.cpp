#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_output.h"
#include "support/wave_image.h"

namespace {

// In a dump line: the bricks left, the ball's (id 61) fields, the three lines (62-64).
int Bricks(const std::string& line) { return Count(line, "\"class\":\"Brick\""); }
float Ball(const std::string& line, const char* key) {
    return std::stof(DumpField(DumpEntity(line, 61), key));
}
std::vector<std::string> Texts(const std::string& line) {
    return {DumpText(line, 62), DumpText(line, 63), DumpText(line, 64)};
}

// The loudest sample of the mix in frames [from, to] (1470 samples a frame).
int Peak(const std::vector<std::int16_t>& mix, int from, int to) {
    int peak = 0;
    for (std::size_t i = (from - 1) * 1470u; i < to * 1470u && i < mix.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(mix[i])));
    return peak;
}

const std::vector<std::string> kFresh = {"SCORE 0", "BALLS 3", "Press SPACE to launch the ball"};

// The paddle (y 700) never moves; space is tapped every 100 frames, pressed
// and released before the frame's poll (a tap shorter than a frame).
TEST(BreakoutEndToEnd, FirstBrickTicksThenThreeMissedBallsEndTheGameAndSpaceStartsAnew) {
    const std::string dir = MakeTempDir("breakout");
    std::ostringstream script;
    for (int f = 10; f < 800; f += 100)
        script << f << " key DIK_SPACE down\n" << f << " key DIK_SPACE up\n";
    WriteFile(dir + "/in.txt", script.str());
    const auto run = RunProcess(VELMOR_BINARY, {"--level", "breakout", "--headless", "--frames",
                                                "800", "--input", dir + "/in.txt", "--dump",
                                                dir + "/d.jsonl", "--audio-out", dir + "/a.wav"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto dump = DumpFrames(dir + "/d.jsonl");
    ASSERT_EQ(dump.size(), 801u);
    const std::vector<std::int16_t> mix = ReadWave16(dir + "/a.wav");

    // Waiting on the paddle, launched at 8; the first brick scores 10 and ticks in its frame.
    EXPECT_EQ(Texts(dump[9]), kFresh);
    EXPECT_TRUE(Ball(dump[9], "y") == 650.0f && Ball(dump[10], "speed") == 8.0f);
    int hit = 11;
    while (hit < 150 && Bricks(dump[hit]) == 60) ++hit;
    ASSERT_LT(hit, 150) << "no brick knocked out";
    EXPECT_TRUE(Bricks(dump[hit]) == 59 && DumpText(dump[hit], 62) == "SCORE 10");
    EXPECT_EQ(Peak(mix, 1, hit - 1), 0) << "silence before";
    EXPECT_GT(Peak(mix, hit, hit), 8000) << "the tick starts in the hit's frame";

    std::vector<int> lost;  // the frames in which a ball was lost
    for (int k = 2; k <= 800 && lost.size() < 3; ++k)
        if (DumpText(dump[k], 63) != DumpText(dump[k - 1], 63)) lost.push_back(k);
    ASSERT_EQ(lost.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const std::string &before = dump[lost[i] - 1], &now = dump[lost[i]];
        SCOPED_TRACE("ball lost in frame " + std::to_string(lost[i]));
        EXPECT_EQ(DumpText(now, 63), "BALLS " + std::to_string(2 - i));
        EXPECT_GT(Ball(before, "y"), 760.0f) << "it left the screen";
        EXPECT_TRUE(Ball(now, "y") == 650.0f && Ball(now, "speed") == 0.0f) << "on the paddle";
        EXPECT_GT(Peak(mix, lost[i], lost[i] + 2), 8000) << "the lost-ball sound";
    }
    EXPECT_EQ(DumpText(dump[lost[0]], 64), kFresh[2]);
    const std::string& over = dump[lost[2]];
    EXPECT_EQ(DumpText(over, 64), "GAME OVER. Press SPACE for a new game");
    EXPECT_EQ(DumpText(over, 62), "SCORE " + std::to_string((60 - Bricks(over)) * 10));
    // Nothing changes until the next press; then a full wall and a fresh count.
    const int press = 10 + 100 * ((lost[2] - 10) / 100 + 1);
    EXPECT_EQ(Texts(dump[press - 1]), Texts(over));
    EXPECT_TRUE(Bricks(dump[press]) == 60 && Texts(dump[press]) == kFresh);
}

}  // namespace
