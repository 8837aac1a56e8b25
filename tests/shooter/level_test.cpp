#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "entities/bitmap_text.h"
#include "game/bullet.h"
#include "game/enemy.h"
#include "game/player.h"
#include "game/shooter_level.h"
#include "support/engine_fixture.h"

namespace {

class Level : public LevelTest {
  protected:
    void Start(std::int64_t clockStart = platform::kDefaultClockStart) {
        platform::UseVirtualClock(clockStart);
        AtFrame(1);
        level.Init();
        level.startTime = Time();
    }
    ShooterLevel level;
};

TEST_F(Level, WavesFollowTheSecondsSinceRunAndTheReseeding) {
    Start(1234567890);
    level.player->SetPosition(555, 394);
    std::vector<std::vector<float>> bySecond(40);  // x of each new enemy, -1 inside a second
    for (int k = 1; k <= 40 * 60; ++k) {
        AtFrame(k);
        const auto before = ValuesOf<Enemy>(kEnemyKind).size();
        level.Update();
        const auto enemies = ValuesOf<Enemy>(kEnemyKind);
        for (auto i = before; i < enemies.size(); ++i)
            bySecond[(k - 1) / 60].push_back(k % 60 == 1 ? enemies[i]->position->x : -1);
    }
    // Seeded with ship x times the (negative) seconds since the start, then with each x drawn.
    for (int e = 0; e < 40; ++e) {
        std::vector<float> want;
        auto state = static_cast<std::uint32_t>(static_cast<std::int32_t>(555.0 * -e));
        for (int i = 0; i < (e == 0 ? 0 : e < 15 ? 1 : e < 25 ? 2 : e < 30 ? 3 : 0); ++i) {
            state = state * 214013u + 2531011u;
            const int r = static_cast<int>((state >> 16) & 0x7FFF) % 1024;
            want.push_back(static_cast<float>(r));
            state = static_cast<std::uint32_t>(static_cast<std::int64_t>(r) * -e);
        }
        EXPECT_EQ(bySecond[e], want) << "second " << e;
    }
}

// Z held: +2 speed and wear each update, slowdown for every enemy and bullet;
// released, no drain and no recovery (0.1 an update) until the speed is back
// at 100. The ship goes when integrity runs out, and the level goes on.
TEST_F(Level, ZWearsIntegritySlowsEverythingAndAWornOutShipIsRemoved) {
    Start();
    auto* enemy = new Enemy("enemy.bmp");
    auto* mine = new Bullet("bullet.bmp", level.player, 13);
    auto* theirs = new Bullet("bullet.bmp", enemy, 15);
    level.player->AddScore(40);
    Key(DIK_Z, true);
    level.Update();
    EXPECT_EQ(level.integrity, 100.0f - static_cast<float>(2 / 10000.0));
    EXPECT_STREQ(level.speedText->text, "Speed: 102");
    for (int i = 0; i < 49; ++i) level.Update();
    for (float s : {enemy->slowdown, mine->slowdown, theirs->slowdown}) EXPECT_EQ(s, 2.0f);
    const float worn = level.integrity;
    Key(DIK_Z, false);
    for (int i = 0; i < 49; ++i) level.Update();
    EXPECT_TRUE(level.speed == 102 && level.integrity == worn);
    level.Update();
    EXPECT_EQ(level.integrity, static_cast<float>(worn + static_cast<double>(0.1f)));
    Key(DIK_Z, true);
    level.speed = 598;  // this update: 600, a loss of 0.05 from 0
    level.integrity = 0.0f;
    level.Update();
    EXPECT_STREQ(level.integrityText->text, "Integrity: 0");
    EXPECT_FALSE(Registered(level.player));
    Key(DIK_Z, false);
    AtFrame(61);
    level.Update();
    EXPECT_STREQ(level.scoreText->text, "Score: 40");
    EXPECT_EQ(ValuesOf<Enemy>(kEnemyKind).size(), 2u);  // the first wave came
}

// Lines longer than their buffer are cut; out-of-range conversions are defined.
TEST_F(Level, LongLinesAreCutAndOutOfRangeNumbersAreDefined) {
    Start();
    level.player->score = 2000000000;
    level.integrity = -3.0e9f;
    level.Update();
    EXPECT_STREQ(level.scoreText->text, "Score: 2000000");  // the buffer's length
    EXPECT_STREQ(level.integrityText->text, "Integrity: -2147483648");
    EXPECT_TRUE(ShooterDisplayInt(3.0e9f) == INT32_MAX && ShooterDisplayInt(NAN) == 0);
    // Beyond the range (weeks of play) the seed is the low 32 bits of the product.
    EXPECT_EQ(ShooterWaveSeed(959.0f, -3000000),
              static_cast<std::uint32_t>(static_cast<std::int64_t>(-2877000000)));
}

}  // namespace
