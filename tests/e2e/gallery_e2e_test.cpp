// The shipped game from end to end: the binary, headless, driven by a script,
// observed through its dump, its screenshots and its captured audio.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_output.h"
#include "support/wave_image.h"

namespace {

struct BunnyState {
    float x = 0, y = 0;
    int cell = 0;
    bool hit = false, dead = false;
};

struct Frame {
    std::vector<BunnyState> bunnies;
    std::vector<BunnyState> flowers;  // x, y and cell
    std::pair<float, float> crosshair;
    int entities = 0;
};

// Reads the dump's entity objects for the three classes the gallery shows.
std::map<int, Frame> ReadDump(const std::string& path) {
    std::map<int, Frame> frames;
    for (const std::string& line : DumpFrames(path)) {
        const std::string frameText = DumpField(line, "frame");
        if (frameText.empty()) continue;
        Frame& f = frames[std::stoi(frameText)];
        for (auto open = line.find("{\"id\""); open != std::string::npos;
             open = line.find("{\"id\"", open + 1)) {
            const std::string object = line.substr(open, line.find('}', open) - open + 1);
            // The gallery removes nothing, so ids run 0, 1, 2 ... in registry order.
            EXPECT_EQ(DumpField(object, "id"), std::to_string(f.entities)) << "frame " << frameText;
            ++f.entities;
            const std::string cls = DumpField(object, "class");
            BunnyState b;
            b.x = std::stof(DumpField(object, "x"));
            b.y = std::stof(DumpField(object, "y"));
            if (cls == "\"Cursor\"") f.crosshair = {b.x, b.y};
            if (cls != "\"Bunny\"" && cls != "\"AnimatedSprite\"") continue;
            b.cell = std::stoi(DumpField(object, "cell"));
            b.hit = DumpField(object, "hit") == "true";
            b.dead = DumpField(object, "dead") == "true";
            (cls == "\"Bunny\"" ? f.bunnies : f.flowers).push_back(b);
        }
    }
    return frames;
}

// The share of a sheet cell's opaque texels that show unchanged in the shot
// with the cell's top-left corner at (x, y); texels off screen are not counted.
double CellMatch(const Shot& shot, const Shot& sheet, int cell, int columns, int cw, int ch,
                 float x, float y) {
    const int sx = (cell % columns) * cw, sy = (cell / columns) * ch;
    int opaque = 0, same = 0;
    for (int v = 0; v < ch; ++v)
        for (int u = 0; u < cw; ++u) {
            const std::uint32_t texel = sheet.At(sx + u, sy + v);
            const int px = static_cast<int>(x) + u, py = static_cast<int>(y) + v;
            if (texel == 0xFFFF00FFu || px < 0 || py < 0 || px >= shot.w || py >= shot.h) continue;
            ++opaque;
            if (shot.At(px, py) == texel) ++same;
        }
    return opaque ? static_cast<double>(same) / opaque : 0.0;
}

class GalleryEndToEnd : public ::testing::Test {
  protected:
    void SetUp() override { dir_ = MakeTempDir("gallery"); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::string dir_;
};

TEST_F(GalleryEndToEnd, ShootingTheFirstBunnyKillsItAndFiresTheGunshotInThatFrame) {
    // A first run without input tells where the first bunny will be.
    auto scout =
        RunProcess(VELMOR_BINARY, {"--headless", "--frames", "340", "--dump", Path("scout.jsonl")});
    ASSERT_EQ(scout.status, 0) << scout.err;
    auto scouted = ReadDump(Path("scout.jsonl"));
    ASSERT_TRUE(scouted.count(180) && scouted[180].bunnies.empty());
    ASSERT_EQ(scouted[181].bunnies.size(), 1u);
    // Shoot just after the bunny changed its cell or hopped: its update
    // counter has just restarted, so the hit cell 3 shows for a few frames.
    int changed = 290;
    auto same = [&](int a, int b) {
        const BunnyState p = scouted[a].bunnies.at(0), q = scouted[b].bunnies.at(0);
        return p.x == q.x && p.y == q.y && p.cell == q.cell;
    };
    while (changed < 330 && same(changed, changed - 1)) ++changed;
    ASSERT_LT(changed, 330);
    const int shotFrame = changed + 1;
    const BunnyState target = scouted[changed].bunnies.at(0);
    const auto start = scouted[changed].crosshair;
    EXPECT_EQ(start, std::make_pair(512.0f, 400.0f));

    // In the shot frame the crosshair moves onto the bunny as it stood after
    // the frame before, and the left button goes down and stays down.
    std::ostringstream script;
    script << "# move onto the first bunny and shoot\n"
           << shotFrame << " mouse " << static_cast<int>(target.x - start.first) << " "
           << static_cast<int>(target.y - start.second) << "\n"
           << shotFrame << " button left down\n";
    WriteFile(Path("shoot.txt"), script.str());
    auto run = RunProcess(VELMOR_BINARY,
                          {"--headless", "--frames", "360", "--input", Path("shoot.txt"), "--dump",
                           Path("run.jsonl"), "--audio-out", Path("run.wav"), "--screenshot",
                           "200:" + Path("f200.png"), "--screenshot", "330:" + Path("f330.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto frames = ReadDump(Path("run.jsonl"));

    EXPECT_FALSE(frames[shotFrame - 1].bunnies.at(0).hit);
    const BunnyState shot = frames[shotFrame].bunnies.at(0);
    EXPECT_TRUE(shot.hit);
    EXPECT_EQ(shot.cell, 3);
    // The dying cells 3 ... 8 follow in order, then the bunny stays dead where it fell.
    std::vector<int> cells;
    for (int k = shotFrame; k <= 360; ++k) {
        const BunnyState b = frames[k].bunnies.at(0);
        if (cells.empty() || cells.back() != b.cell) cells.push_back(b.cell);
        EXPECT_EQ(b.x, shot.x);
        EXPECT_EQ(b.y, shot.y);
    }
    EXPECT_EQ(cells, (std::vector<int>{3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(frames[360].bunnies.at(0).dead);

    // What the player sees matches the dump: the meadow where nothing stands,
    // every flower's cell at its place (flowers may overlap each other), the
    // first bunny still beyond the right edge at frame 200, and the dead
    // bunny on top of everything at frame 330.
    const std::string content = VELMOR_CONTENT_DIR;
    const Shot background = LoadShot(content + "/background.bmp");
    const Shot flowerSheet = LoadShot(content + "/flower.bmp");
    const Shot bunnySheet = LoadShot(content + "/bunny.bmp");
    const Shot f200 = LoadShot(Path("f200.png")), f330 = LoadShot(Path("f330.png"));
    ASSERT_EQ(f200.w, 1024);
    ASSERT_EQ(f200.h, 768);
    for (int x = 0; x < 1024; x += 97) EXPECT_EQ(f200.At(x, 5), background.At(x, 5));
    ASSERT_EQ(frames[200].flowers.size(), 50u);
    double total = 0;
    for (const auto& fl : frames[200].flowers) {
        const double m = CellMatch(f200, flowerSheet, fl.cell, 4, 32, 32, fl.x, fl.y);
        EXPECT_GT(m, 0.3) << "flower at " << fl.x << "," << fl.y;
        total += m;
    }
    EXPECT_GT(total / 50, 0.9);
    EXPECT_EQ(frames[200].bunnies.at(0).x, 1060.0f);
    const BunnyState dead = frames[330].bunnies.at(0);
    EXPECT_EQ(CellMatch(f330, bunnySheet, dead.cell, 3, 96, 96, dead.x, dead.y), 1.0);

    // The gunshot starts in the shot frame: silence through the frames
    // already mixed, sound right after.
    WAVEFORMATEX format{};
    const auto samples = ReadWave16(Path("run.wav"), &format);
    ASSERT_EQ(format.nChannels, 2);
    ASSERT_EQ(format.nSamplesPerSec, 44100u);
    ASSERT_EQ(samples.size(), 360u * 735u * 2u);
    std::size_t onset = samples.size();
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (std::abs(samples[i]) > 300) {
            onset = i / 2;
            break;
        }
    const std::size_t mixedBefore = static_cast<std::size_t>(shotFrame - 1) * 735u;
    EXPECT_GE(onset, mixedBefore);
    EXPECT_LT(onset, mixedBefore + 100u);
    int peak = 0;
    for (std::size_t i = onset * 2; i < onset * 2 + 22050 && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    EXPECT_GT(peak, 16000);  // a gunshot, not a hiss
}

}  // namespace
