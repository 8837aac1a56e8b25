// The brick game through the binary, headless, driven by a script and
// observed through its dump and its captured audio.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_output.h"
#include "support/wave_image.h"

namespace {

// What one dump line tells: the bricks left, the ball, and the three lines.
struct Frame {
    int bricks = 0;
    float ballY = 0, paddleY = 0, speed = 0;
    std::vector<std::string> texts;  // score, balls, message
};

std::string After(const std::string& s, std::size_t at, char end) {
    return s.substr(at, s.find(end, at) - at);
}

std::vector<Frame> ReadDump(const std::string& path) {
    std::vector<Frame> frames(1);  // frames[k] is frame k
    const auto lines = DumpFrames(path);
    for (auto line = lines.begin() + 1; line != lines.end(); ++line) {
        Frame f;
        f.bricks = Count(*line, "\"class\":\"Brick\"");
        for (auto at = line->find("\"text\":\""); at != std::string::npos;
             at = line->find("\"text\":\"", at + 1))
            f.texts.push_back(After(*line, at + 8, '"'));
        const auto ball = line->find("\"class\":\"Ball\""),
                   paddle = line->find("\"class\":\"Paddle\"");
        f.ballY = std::stof(After(*line, line->find("\"y\":", ball) + 4, ','));
        f.speed = std::stof(After(*line, line->find("\"speed\":", ball) + 8, ','));
        f.paddleY = std::stof(After(*line, line->find("\"y\":", paddle) + 4, '}'));
        frames.push_back(f);
    }
    return frames;
}

// The loudest sample of the captured mix in frames [from, to], 735 sample
// frames of 16-bit stereo a frame.
int Peak(const std::vector<std::int16_t>& mix, int from, int to) {
    int peak = 0;
    for (std::size_t i = (from - 1) * 1470u; i < to * 1470u && i < mix.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(mix[i])));
    return peak;
}

const std::vector<std::string> kFresh = {"SCORE 0", "BALLS 3", "Press SPACE to launch the ball"};

// The paddle never moves; space is pressed for one frame every 100 frames.
TEST(BreakoutEndToEnd, FirstBrickTicksThenThreeMissedBallsEndTheGameAndSpaceStartsAnew) {
    const std::string dir = MakeTempDir("breakout");
    std::ostringstream script;
    std::vector<int> presses;
    for (int f = 10; f < 800; f += 100) {
        presses.push_back(f);
        script << f << " key DIK_SPACE down\n" << f + 1 << " key DIK_SPACE up\n";
    }
    WriteFile(dir + "/in.txt", script.str());
    const auto run = RunProcess(VELMOR_BINARY, {"--level", "breakout", "--headless", "--frames",
                                                "800", "--input", dir + "/in.txt", "--dump",
                                                dir + "/d.jsonl", "--audio-out", dir + "/a.wav"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<Frame> dump = ReadDump(dir + "/d.jsonl");
    ASSERT_EQ(dump.size(), 801u);
    const std::vector<std::int16_t> mix = ReadWave16(dir + "/a.wav");
    ASSERT_FALSE(mix.empty());

    // The first brick scores 10 and ticks in its own frame.
    EXPECT_EQ(dump[9].texts, kFresh);
    EXPECT_EQ(dump[9].ballY, dump[9].paddleY - 50.0f) << "waiting on the paddle";
    EXPECT_EQ(dump[10].speed, 8.0f);
    int hit = 11;
    while (hit < 150 && dump[hit].bricks == 60) ++hit;
    ASSERT_LT(hit, 150) << "no brick knocked out";
    EXPECT_EQ(dump[hit].bricks, 59);
    EXPECT_EQ(dump[hit - 1].texts.at(0), "SCORE 0");
    EXPECT_EQ(dump[hit].texts.at(0), "SCORE 10");
    EXPECT_EQ(Peak(mix, 1, hit - 1), 0) << "silence before";
    EXPECT_GT(Peak(mix, hit, hit), 8000) << "the tick starts in the hit's frame";

    std::vector<int> lost;  // the frames in which a ball was lost
    for (int k = 2; k <= 800 && lost.size() < 3; ++k)
        if (dump[k].texts.at(1) != dump[k - 1].texts.at(1)) lost.push_back(k);
    ASSERT_EQ(lost.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const Frame &before = dump[lost[i] - 1], &now = dump[lost[i]];
        SCOPED_TRACE("ball lost in frame " + std::to_string(lost[i]));
        EXPECT_EQ(now.texts.at(1), "BALLS " + std::to_string(2 - i));
        EXPECT_GT(before.ballY, 760.0f) << "it left the screen";
        EXPECT_EQ(now.ballY, now.paddleY - 50.0f) << "back on the paddle";
        EXPECT_EQ(now.speed, 0.0f);
        EXPECT_LT(Peak(mix, lost[i] - 3, lost[i] - 1), 500);
        EXPECT_GT(Peak(mix, lost[i], lost[i] + 2), 8000) << "the lost-ball sound";
    }
    EXPECT_EQ(dump[lost[0]].texts.at(2), kFresh[2]);
    const Frame& over = dump[lost[2]];
    EXPECT_EQ(over.texts.at(2), "GAME OVER. Press SPACE for a new game");
    EXPECT_EQ(over.texts.at(0), "SCORE " + std::to_string((60 - over.bricks) * 10));
    // Nothing changes until the next press; then a full wall and a fresh count.
    const int press = *std::upper_bound(presses.begin(), presses.end(), lost[2]);
    EXPECT_EQ(dump[press - 1].texts, over.texts);
    EXPECT_EQ(dump[press].bricks, 60);
    EXPECT_EQ(dump[press].texts, kFresh);
}

}  // namespace
