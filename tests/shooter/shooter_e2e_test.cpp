// The shooter through the binary: a scripted ship shoots the first enemy;
// the dump and the screenshots agree on the hit and the score.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/png.h"
#include "support/run_process.h"

namespace {

struct Thing {
    int id = 0, kind = 0;
    float x = 0, y = 0;
    std::string text;
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

// Frame number -> its entities in registry order.
std::map<int, std::vector<Thing>> ReadDump(const std::string& path) {
    std::map<int, std::vector<Thing>> frames;
    std::istringstream in(ReadFile(path));
    std::string line;
    while (std::getline(in, line)) {
        auto& f = frames[std::stoi(Field(line, "frame"))];
        for (auto open = line.find("{\"id\""); open != std::string::npos;
             open = line.find("{\"id\"", open + 1)) {
            const std::string object = line.substr(open, line.find('}', open) - open + 1);
            Thing t;
            t.id = std::stoi(Field(object, "id"));
            t.kind = std::stoi(Field(object, "kind"));
            t.x = std::stof(Field(object, "x"));
            t.y = std::stof(Field(object, "y"));
            t.text = Field(object, "text");
            f.push_back(t);
        }
    }
    return frames;
}

const Thing* Find(const std::vector<Thing>& things, int id) {
    for (const auto& t : things)
        if (t.id == id) return &t;
    return nullptr;
}

struct Image {
    std::vector<std::uint32_t> px;
    int w = 0, h = 0;
    std::uint32_t At(int x, int y) const {
        return px[static_cast<std::size_t>(y) * w + x] | 0xFF000000u;
    }
};

Image Load(const std::string& path) {
    Image img;
    std::string error;
    EXPECT_TRUE(platform::ReadImageFile(path, &img.px, &img.w, &img.h, &error)) << error;
    return img;
}

// Whether the shot shows `text` in the font at (x, y): every opaque texel of
// every glyph in place, and nothing drawn just behind the last one.
bool ShowsLine(const Image& shot, const Image& font, const std::string& text, int x, int y) {
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const int g = i < text.size() ? text[i] - 32 : 0;  // past the end: a blank cell
        for (int v = 0; v < 12; ++v)
            for (int u = 0; u < 8; ++u) {
                const std::uint32_t texel = font.At((g % 20) * 8 + u, (g / 20) * 12 + v);
                const std::uint32_t seen = shot.At(x + 8 * static_cast<int>(i) + u, y + v);
                const bool clear = texel == 0xFFFF00FFu;
                if (clear ? seen != 0xFF000000u : seen != texel) return false;
            }
    }
    return true;
}

TEST(ShooterEndToEnd, ShipShootsTheFirstEnemyAndTheScoreFollowsInTheNextFrame) {
    const std::string dir = MakeTempDir("shooter");
    // The ship goes to x 230 before the first wave (which places the first
    // enemy at x 311), waits, steps right into that enemy's column and fires
    // as it arrives (frame 70, x 280), then steps out again between the
    // enemy's shots.
    WriteFile(
        dir + "/play.txt",
        "1 key DIK_RIGHT down\n14 key DIK_RIGHT up\n"
        "66 key DIK_RIGHT down\n70 key DIK_SPACE down\n"
        "71 key DIK_SPACE up\n71 key DIK_RIGHT up\n71 key DIK_LEFT down\n72 key DIK_LEFT up\n");
    auto run = RunProcess(VELMOR_BINARY,
                          {"--level", "shooter", "--headless", "--frames", "120", "--input",
                           dir + "/play.txt", "--dump", dir + "/run.jsonl", "--screenshot",
                           "87:" + dir + "/f87.png", "--screenshot", "88:" + dir + "/f88.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    auto frames = ReadDump(dir + "/run.jsonl");
    ASSERT_EQ(frames.size(), 120u);

    // The first enemy (id 4) and the ship's one bullet (the first kind 14
    // whose x is the ship's middle) as the dump tells.
    const Thing* enemy = Find(frames[61], 4);
    ASSERT_TRUE(enemy && enemy->kind == 15);
    const float enemyX = enemy->x;
    const Thing* ship = Find(frames[70], 0);
    ASSERT_TRUE(ship);
    EXPECT_EQ(ship->x, 280.0f);
    EXPECT_GE(ship->x + 32 + 6, enemyX);  // the bullet's span meets the enemy's
    EXPECT_LE(ship->x + 32, enemyX + 48);

    int removed = 0;
    for (int k = 62; k <= 120 && !removed; ++k)
        if (!Find(frames[k], 4)) removed = k;
    ASSERT_EQ(removed, 87);
    for (int k = 1; k <= 120; ++k) ASSERT_TRUE(Find(frames[k], 0)) << "ship lost at " << k;
    EXPECT_EQ(Find(frames[removed], 3)->text, "Score: 0");
    EXPECT_EQ(Find(frames[removed + 1], 3)->text, "Score: 10");

    const Image font = Load(std::string(VELMOR_CONTENT_DIR) + "/smallfont.bmp");
    const Image f87 = Load(dir + "/f87.png"), f88 = Load(dir + "/f88.png");
    EXPECT_TRUE(ShowsLine(f87, font, "Score: 0", 10, 50));
    EXPECT_FALSE(ShowsLine(f87, font, "Score: 10", 10, 50));
    EXPECT_TRUE(ShowsLine(f88, font, "Score: 10", 10, 50));
    EXPECT_TRUE(ShowsLine(f88, font, "Speed: 100", 10, 10));
    EXPECT_TRUE(ShowsLine(f88, font, "Integrity: 100", 10, 30));
}

}  // namespace
