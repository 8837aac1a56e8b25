// The shipped game from end to end: the binary, headless, driven by a script,
// observed through its dump, its screenshots and its captured audio.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/run_output.h"
#include "support/wave_image.h"

namespace {

struct BunnyState {
    float x = 0, y = 0;
    int cell = 0;
    bool hit = false, dead = false;
    bool operator==(const BunnyState&) const = default;
};

struct Frame {
    std::vector<BunnyState> bunnies, flowers;  // flowers: x, y and cell
    std::pair<float, float> crosshair;
};

// Reads the dump's entity objects for the three classes the gallery shows;
// frames[k] is frame k.
std::vector<Frame> ReadDump(const std::string& path) {
    std::vector<Frame> frames;
    for (const std::string& line : DumpFrames(path)) {
        Frame& f = frames.emplace_back();
        for (auto open = line.find("{\"id\""); open != std::string::npos;
             open = line.find("{\"id\"", open + 1)) {
            const std::string object = line.substr(open, line.find('}', open) - open + 1);
            const std::string cls = DumpField(object, "class");
            BunnyState b{std::stof(DumpField(object, "x")), std::stof(DumpField(object, "y"))};
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

TEST(GalleryEndToEnd, ShootingTheFirstBunnyKillsItAndFiresTheGunshotInThatFrame) {
    const std::string dir = MakeTempDir("gallery");
    auto Path = [&](const std::string& name) { return dir + "/" + name; };
    // A first run without input tells where the first bunny will be.
    auto scout =
        RunProcess(VELMOR_BINARY, {"--headless", "--frames", "340", "--dump", Path("scout.jsonl")});
    ASSERT_EQ(scout.status, 0) << scout.err;
    auto scouted = ReadDump(Path("scout.jsonl"));
    ASSERT_TRUE(scouted.size() == 341 && scouted[180].bunnies.empty());
    ASSERT_EQ(scouted[181].bunnies.size(), 1u);
    // Shoot just after the bunny changed its cell or hopped: its update
    // counter has just restarted, so the hit cell 3 shows for a few frames.
    int changed = 290;
    while (changed < 330 && scouted[changed].bunnies.at(0) == scouted[changed - 1].bunnies.at(0))
        ++changed;
    ASSERT_LT(changed, 330);
    const int shotFrame = changed + 1;
    const BunnyState target = scouted[changed].bunnies.at(0);
    const auto start = scouted[changed].crosshair;
    // In the shot frame the crosshair moves onto the bunny as it stood after
    // the frame before, and the left button goes down and stays down.
    const std::string at = std::to_string(shotFrame);
    WriteFile(Path("shoot.txt"), at + " mouse " + std::to_string(int(target.x - start.first)) +
                                     " " + std::to_string(int(target.y - start.second)) + "\n" +
                                     at + " button left down\n");
    auto run = RunProcess(VELMOR_BINARY,
                          {"--headless", "--frames", "360", "--input", Path("shoot.txt"), "--dump",
                           Path("run.jsonl"), "--audio-out", Path("run.wav"), "--screenshot",
                           "200:" + Path("f200.png"), "--screenshot", "330:" + Path("f330.png")});
    ASSERT_EQ(run.status, 0) << run.err;
    auto frames = ReadDump(Path("run.jsonl"));
    ASSERT_EQ(frames.size(), 361u);

    EXPECT_FALSE(frames[shotFrame - 1].bunnies.at(0).hit);
    const BunnyState shot = frames[shotFrame].bunnies.at(0);
    EXPECT_TRUE(shot.hit && shot.cell == 3);
    // The dying cells 3 ... 8 follow in order, then the bunny stays dead where it fell.
    std::vector<int> cells;
    for (int k = shotFrame; k <= 360; ++k) {
        const BunnyState b = frames[k].bunnies.at(0);
        if (cells.empty() || cells.back() != b.cell) cells.push_back(b.cell);
        EXPECT_TRUE(b.x == shot.x && b.y == shot.y) << k;
    }
    EXPECT_EQ(cells, (std::vector<int>{3, 4, 5, 6, 7, 8}));
    EXPECT_TRUE(frames[360].bunnies.at(0).dead);

    // The pictures match the dump: the meadow where nothing stands, each
    // flower's cell at its place (flowers overlap), the first bunny still
    // off screen at 200, the dead bunny on top of all at 330.
    auto content = [](const char* name) {
        return LoadShot(VELMOR_CONTENT_DIR "/" + std::string(name));
    };
    const Shot background = content("background.bmp"), flowerSheet = content("flower.bmp"),
               bunnySheet = content("bunny.bmp");
    const Shot f200 = LoadShot(Path("f200.png")), f330 = LoadShot(Path("f330.png"));
    ASSERT_TRUE(f200.w == 1024 && f200.h == 768);
    for (int x = 0; x < 1024; x += 97) EXPECT_EQ(f200.At(x, 5), background.At(x, 5));
    ASSERT_EQ(frames[200].flowers.size(), 50u);
    for (const auto& fl : frames[200].flowers)
        EXPECT_GT(CellMatch(f200, flowerSheet, fl.cell, 4, 32, 32, fl.x, fl.y), 0.3)
            << "flower at " << fl.x << "," << fl.y;
    const BunnyState dead = frames[330].bunnies.at(0);
    EXPECT_EQ(CellMatch(f330, bunnySheet, dead.cell, 3, 96, 96, dead.x, dead.y), 1.0);

    // The gunshot starts in the shot frame: silence through the frames
    // already mixed, sound right after.
    const auto samples = ReadWave16(Path("run.wav"));
    ASSERT_EQ(samples.size(), 360u * 735u * 2u);  // 44.1 kHz stereo
    const auto loud = [](int s) { return std::abs(s) > 300; };
    const std::size_t onset =
        (std::find_if(samples.begin(), samples.end(), loud) - samples.begin()) / 2;
    const std::size_t mixedBefore = static_cast<std::size_t>(shotFrame - 1) * 735u;
    EXPECT_GE(onset, mixedBefore);
    EXPECT_LT(onset, mixedBefore + 100u);
    int peak = 0;
    for (std::size_t i = onset * 2; i < onset * 2 + 22050 && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    EXPECT_GT(peak, 16000);  // a gunshot, not a hiss
}

}  // namespace
