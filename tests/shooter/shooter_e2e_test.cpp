#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/run_output.h"

namespace {

// Whether the shot shows `text` in the 8 x 12 font at (x, y), then a blank cell.
bool ShowsLine(const Shot& shot, const Shot& font, const std::string& text, int x, int y) {
    for (std::size_t i = 0; i <= text.size(); ++i) {
        const int g = i < text.size() ? text[i] - 32 : 0;
        for (int v = 0; v < 12; ++v)
            for (int u = 0; u < 8; ++u) {
                const std::uint32_t texel = font.At((g % 20) * 8 + u, (g / 20) * 12 + v);
                const std::uint32_t seen = shot.At(x + 8 * static_cast<int>(i) + u, y + v);
                if (seen != (texel == 0xFFFF00FFu ? 0xFF000000u : texel)) return false;
            }
    }
    return true;
}

TEST(ShooterEndToEnd, ShipShootsTheFirstEnemyAndTheScoreFollowsInTheNextFrame) {
    const std::string dir = MakeTempDir("shooter");
    // To x 230; into the first enemy's column (x 311), fire at frame 70, step out.
    WriteFile(dir + "/play.txt",
              "1 key DIK_RIGHT down\n14 key DIK_RIGHT up\n66 key DIK_RIGHT down\n"
              "70 key DIK_SPACE down\n71 key DIK_SPACE up\n71 key DIK_RIGHT up\n"
              "71 key DIK_LEFT down\n72 key DIK_LEFT up\n");
    auto run = RunProcess(VELMOR_BINARY,
                          {"--level", "shooter", "--headless", "--frames", "120", "--input",
                           dir + "/play.txt", "--dump", dir + "/run.jsonl", "--screenshot",
                           "87:" + dir + "/f87.png", "--screenshot", "88:" + dir + "/f88.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto frames = DumpFrames(dir + "/run.jsonl");
    ASSERT_EQ(frames.size(), 121u);

    // Enemy 4 is hit in frame 87, ship 0 never; score line 3 follows a frame on.
    EXPECT_TRUE(!DumpEntity(frames[86], 4).empty() && DumpEntity(frames[87], 4).empty());
    for (int k = 1; k <= 120; ++k) ASSERT_NE(DumpEntity(frames[k], 0), "") << "ship lost at " << k;
    EXPECT_EQ(DumpText(frames[87], 3), "Score: 0");
    EXPECT_EQ(DumpText(frames[88], 3), "Score: 10");

    const Shot font = LoadShot(std::string(VELMOR_CONTENT_DIR) + "/smallfont.bmp");
    const Shot f87 = LoadShot(dir + "/f87.png"), f88 = LoadShot(dir + "/f88.png");
    EXPECT_TRUE(ShowsLine(f87, font, "Score: 0", 10, 50) &&
                !ShowsLine(f87, font, "Score: 10", 10, 50));
    EXPECT_TRUE(ShowsLine(f88, font, "Score: 10", 10, 50));
    EXPECT_TRUE(ShowsLine(f88, font, "Integrity: 100", 10, 30));
}

}  // namespace
