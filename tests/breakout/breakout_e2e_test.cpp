// The brick game through the binary, headless, driven by a script and
// observed through its dump, its screenshots and its captured audio.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/image.h"
#include "sound/riff_wave.h"
#include "support/run_process.h"

namespace {

struct Sprite {
    float x = 0, y = 0;
};

struct Frame {
    int bricks = 0;
    Sprite ball, paddle;
    float speed = 0;
    std::vector<std::string> texts;  // score, balls, message
    std::vector<Sprite> brickAt;
};

std::string Field(const std::string& object, const std::string& key) {
    const std::string tag = "\"" + key + "\":";
    const auto at = object.find(tag);
    if (at == std::string::npos) return "";
    const auto start = at + tag.size();
    if (object[start] == '"')
        return object.substr(start + 1, object.find('"', start + 1) - start - 1);
    return object.substr(start, object.find_first_of(",}", start) - start);
}

std::map<int, Frame> ReadDump(const std::string& path) {
    std::map<int, Frame> frames;
    std::istringstream in(ReadFile(path));
    std::string line;
    while (std::getline(in, line)) {
        Frame& f = frames[std::stoi(Field(line, "frame"))];
        for (auto open = line.find("{\"id\""); open != std::string::npos;
             open = line.find("{\"id\"", open + 1)) {
            const std::string object = line.substr(open, line.find('}', open) - open + 1);
            const std::string cls = Field(object, "class");
            const Sprite s{std::stof(Field(object, "x")), std::stof(Field(object, "y"))};
            if (cls == "Brick") {
                ++f.bricks;
                f.brickAt.push_back(s);
            } else if (cls == "Ball") {
                f.ball = s;
                f.speed = std::stof(Field(object, "speed"));
            } else if (cls == "Paddle") {
                f.paddle = s;
            } else if (cls == "BitmapText") {
                f.texts.push_back(Field(object, "text"));
            }
        }
    }
    return frames;
}

// Left channel of the captured mix.
std::vector<int> ReadLeft(const std::string& path) {
    CRiffWave wave;
    std::vector<int> left;
    if (FAILED(wave.Open(path.c_str(), nullptr, WAVEFILE_READ))) return left;
    std::vector<std::int16_t> s(wave.GetSize() / 2);
    DWORD read = 0;
    wave.Read(reinterpret_cast<BYTE*>(s.data()), wave.GetSize(), &read);
    for (std::size_t i = 0; i + 1 < read / 2; i += 2) left.push_back(s[i]);
    return left;
}

// The loudest sample of the mix in frames [from, to] (735 samples a frame).
int Peak(const std::vector<int>& mix, int from, int to) {
    int peak = 0;
    for (std::size_t i = (from - 1) * 735u; i < to * 735u && i < mix.size(); ++i)
        peak = std::max(peak, std::abs(mix[i]));
    return peak;
}

// Space pressed for one frame at each of the given frames.
std::string SpaceAt(const std::vector<int>& frames) {
    std::ostringstream s;
    for (int f : frames) s << f << " key DIK_SPACE down\n" << f + 1 << " key DIK_SPACE up\n";
    return s.str();
}

class BreakoutEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = MakeTempDir("breakout"); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    ProcessResult Run(int frames, const std::string& script, std::vector<std::string> extra) {
        WriteFile(Path("script.txt"), script);
        std::vector<std::string> args = {
            "--level", "breakout",         "--headless", "--frames",       std::to_string(frames),
            "--input", Path("script.txt"), "--dump",     Path("run.jsonl")};
        args.insert(args.end(), extra.begin(), extra.end());
        return RunProcess(VELMOR_BINARY, args);
    }
    std::string dir_;
};

TEST_F(BreakoutEndToEnd, FirstBrickScoresTenAndTicksInItsOwnFrame) {
    auto run = Run(150, SpaceAt({10}), {"--audio-out", Path("run.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto frames = ReadDump(Path("run.jsonl"));
    ASSERT_EQ(frames[9].texts,
              (std::vector<std::string>{"SCORE 0", "BALLS 3", "Press SPACE to launch the ball"}));
    EXPECT_EQ(frames[9].speed, 0.0f);
    EXPECT_EQ(frames[9].ball.y, frames[9].paddle.y - 50.0f) << "waiting on the paddle";
    EXPECT_EQ(frames[10].speed, 8.0f);
    EXPECT_EQ(frames[10].texts.at(2), "");
    int hit = 11;
    while (hit < 150 && frames[hit].bricks == 60) ++hit;
    ASSERT_LT(hit, 150) << "no brick knocked out";
    EXPECT_EQ(frames[hit].bricks, 59);
    EXPECT_EQ(frames[hit - 1].texts.at(0), "SCORE 0");
    EXPECT_EQ(frames[hit].texts.at(0), "SCORE 10");

    // Silence until the mix of the hit frame, then the tick.
    const std::vector<int> mix = ReadLeft(Path("run.wav"));
    ASSERT_EQ(mix.size(), 150u * 735u);
    EXPECT_EQ(Peak(mix, 1, hit - 1), 0);
    EXPECT_GT(Peak(mix, hit, hit), 8000);

    // The picture agrees: the ball where the dump puts it, and black where
    // the brick stood.
    run = Run(hit, SpaceAt({10}), {"--screenshot", std::to_string(hit) + ":" + Path("hit.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    std::vector<std::uint32_t> shot, ball;
    int w = 0, h = 0, bw = 0, bh = 0;
    ASSERT_TRUE(platform::ReadImageFile(Path("hit.png"), &w, &h, &shot));
    ASSERT_TRUE(
        platform::ReadImageFile(std::string(VELMOR_CONTENT_DIR) + "/ball.bmp", &bw, &bh, &ball));
    ASSERT_EQ(w, 1024);
    Sprite gone;
    for (const Sprite& b : frames[hit - 1].brickAt) {
        bool still = false;
        for (const Sprite& c : frames[hit].brickAt) still |= c.x == b.x && c.y == b.y;
        if (!still) gone = b;
    }
    auto at = [&](int x, int y) { return shot[static_cast<std::size_t>(y) * w + x] & 0xFFFFFF; };
    EXPECT_EQ(at(static_cast<int>(gone.x) + 25, static_cast<int>(gone.y) + 25), 0u);
    // Sprites cover the pixels from ceil(x), ceil(y) on.
    const int bx = static_cast<int>(std::ceil(frames[hit].ball.x));
    const int by = static_cast<int>(std::ceil(frames[hit].ball.y));
    int opaque = 0, same = 0;
    for (int v = 0; v < bh; ++v)
        for (int u = 0; u < bw; ++u) {
            const std::uint32_t texel = ball[v * bw + u] & 0xFFFFFF;
            if (texel == 0xFF00FF) continue;
            ++opaque;
            same += texel == at(bx + u, by + v);
        }
    EXPECT_EQ(same, opaque);
}

TEST_F(BreakoutEndToEnd, ThreeMissedBallsEndTheGameAndSpaceStartsAFreshOne) {
    // The paddle never moves; space is pressed every 100 frames.
    std::vector<int> presses;
    for (int f = 10; f < 800; f += 100) presses.push_back(f);
    auto run = Run(800, SpaceAt(presses), {"--audio-out", Path("run.wav")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto frames = ReadDump(Path("run.jsonl"));
    const std::vector<int> mix = ReadLeft(Path("run.wav"));

    std::vector<int> lost;  // frames in which a ball was lost
    for (int k = 2; k <= 800 && lost.size() < 3; ++k)
        if (frames[k].texts.at(1) != frames[k - 1].texts.at(1)) lost.push_back(k);
    ASSERT_EQ(lost.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const int k = lost[i];
        SCOPED_TRACE("ball lost in frame " + std::to_string(k));
        EXPECT_EQ(frames[k].texts.at(1), "BALLS " + std::to_string(2 - i));
        EXPECT_GT(frames[k - 1].ball.y, 768.0f - 8.0f) << "it left the screen";
        EXPECT_EQ(frames[k].ball.y, frames[k].paddle.y - 50.0f) << "back on the paddle";
        EXPECT_EQ(frames[k].speed, 0.0f);
        // The lost-ball sound: quiet just before, loud from this frame on.
        EXPECT_LT(Peak(mix, k - 3, k - 1), 500);
        EXPECT_GT(Peak(mix, k, k + 2), 8000);
    }
    EXPECT_EQ(frames[lost[0]].texts.at(2), "Press SPACE to launch the ball");
    const int over = lost[2];
    EXPECT_EQ(frames[over].texts.at(2), "GAME OVER. Press SPACE for a new game");
    const int score = std::stoi(frames[over].texts.at(0).substr(6));
    EXPECT_EQ(score, (60 - frames[over].bricks) * 10);

    // Nothing moves until space; then a full wall, score 0 and three balls.
    int press = 0;
    for (int f : presses)
        if (f > over && !press) press = f;
    ASSERT_GT(press, 0);
    for (int k = over; k < press; ++k) ASSERT_EQ(frames[k].texts.at(1), "BALLS 0") << k;
    EXPECT_EQ(frames[press].bricks, 60);
    EXPECT_EQ(frames[press].texts,
              (std::vector<std::string>{"SCORE 0", "BALLS 3", "Press SPACE to launch the ball"}));
}

}  // namespace
