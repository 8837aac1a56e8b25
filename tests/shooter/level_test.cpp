// The shooter level on the virtual clock: the waves and their random
// positions, the speed and integrity lines, and the slowdown.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "entities/bitmap_text.h"
#include "game/bullet.h"
#include "game/enemy.h"
#include "game/player.h"
#include "levels/shooter_level.h"
#include "support/engine_fixture.h"

namespace {

class Level : public LevelTest {
  protected:
    // Init at frame 1, then the start of Run.
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
    std::vector<int> perSecond(40, 0);
    std::vector<float> xs;
    for (int k = 1; k <= 40 * 60; ++k) {
        AtFrame(k);
        const auto before = All<Enemy>(15).size();
        level.Update();
        const auto enemies = All<Enemy>(15);
        if (enemies.size() == before) continue;
        ASSERT_EQ((k - 1) % 60, 0) << "spawn inside a second, frame " << k;
        perSecond[(k - 1) / 60] = static_cast<int>(enemies.size() - before);
        for (auto i = before; i < enemies.size(); ++i) {
            xs.push_back(enemies[i]->position->x);
            EXPECT_EQ(enemies[i]->position->y, -100.0f);
        }
    }
    // The expectation from the rule, with the generator written out again:
    // seeded with ship x times the (negative) seconds since the start, and
    // between two spawns of one second with the x just drawn times the same.
    std::vector<float> expected;
    for (int e = 0; e < 40; ++e) {
        const int want = e == 0 ? 0 : e < 15 ? 1 : e < 25 ? 2 : e < 30 ? 3 : 0;
        EXPECT_EQ(perSecond[e], want) << "second " << e;
        auto state = static_cast<std::uint32_t>(static_cast<std::int32_t>(555.0 * -e));
        for (int i = 0; i < want; ++i) {
            state = state * 214013u + 2531011u;
            const int r = static_cast<int>((state >> 16) & 0x7FFF) % 1024;
            expected.push_back(static_cast<float>(r));
            state = static_cast<std::uint32_t>(static_cast<std::int64_t>(r) * -e);
        }
    }
    EXPECT_EQ(xs, expected);
    EXPECT_EQ(xs.size(), 49u);  // second 0 passes with Init's tick: 14 + 20 + 15
}

TEST_F(Level, ZRaisesSpeedWearsIntegrityAndReleasedItRecovers) {
    Start();
    Key(DIK_Z, true);
    level.Update();
    EXPECT_EQ(level.speed, 102);
    EXPECT_EQ(level.integrity, 100.0f - static_cast<float>(2 / 10000.0));
    EXPECT_STREQ(level.speedText->text, "Speed: 102");
    Key(DIK_Z, false);
    level.Update();
    EXPECT_EQ(level.speed, 100);
    EXPECT_EQ(level.integrity, 100.0f);  // recovered 0.1, held at 100

    // Held to 200, then released: no drain and no recovery until back at 100.
    Key(DIK_Z, true);
    for (int i = 0; i < 50; ++i) level.Update();
    const float worn = level.integrity;
    EXPECT_LT(worn, 100.0f);
    Key(DIK_Z, false);
    for (int i = 0; i < 49; ++i) level.Update();
    EXPECT_EQ(level.speed, 102);
    EXPECT_EQ(level.integrity, worn);
    level.Update();
    EXPECT_EQ(level.integrity, static_cast<float>(worn + static_cast<double>(0.1f)));
}

TEST_F(Level, SlowdownReachesEveryBulletAndEnemyEachUpdate) {
    Start();
    auto* enemy = new Enemy("enemy.bmp");
    auto* mine = new Bullet("bullet.bmp", level.player, 13);
    auto* theirs = new Bullet("bullet.bmp", enemy, 15);
    Key(DIK_Z, true);
    for (int i = 0; i < 50; ++i) level.Update();
    for (float s : {enemy->slowdown, mine->slowdown, theirs->slowdown}) EXPECT_EQ(s, 2.0f);
    for (int i = 0; i < 500; ++i) level.Update();
    EXPECT_EQ(level.speed, 1000);
    EXPECT_EQ(enemy->slowdown, 10.0f);
}

TEST_F(Level, ShipIsRemovedWhenIntegrityRunsOutAndTheLevelGoesOn) {
    Start();
    level.player->AddScore(40);
    Key(DIK_Z, true);
    level.speed = 598;  // this update: 600, a loss of 0.05
    level.integrity = 0.0f;
    level.Update();
    EXPECT_FLOAT_EQ(level.integrity, -0.05f);
    EXPECT_STREQ(level.integrityText->text, "Integrity: 0");
    EXPECT_FALSE(Registered(level.player));
    Key(DIK_Z, false);
    AtFrame(61);
    level.Update();
    EXPECT_STREQ(level.scoreText->text, "Score: 40");
    EXPECT_EQ(All<Enemy>(15).size(), 1u);
}

// Lines longer than their buffer are cut, and float-to-integer conversions
// beyond the 32-bit range are defined.
TEST_F(Level, LongLinesAreCutAndOutOfRangeNumbersAreDefined) {
    Start();
    level.player->score = 2000000000;
    level.integrity = -3.0e9f;
    level.Update();
    EXPECT_STREQ(level.scoreText->text, "Score: 2000000");
    EXPECT_EQ(std::strlen(level.scoreTextBuffer), sizeof level.scoreTextBuffer - 1);
    EXPECT_STREQ(level.integrityText->text, "Integrity: -2147483648");
    EXPECT_EQ(ShooterDisplayInt(3.0e9f), INT32_MAX);
    EXPECT_EQ(ShooterDisplayInt(NAN), 0);
    EXPECT_EQ(ShooterDisplayInt(-7.9f), -7);
    // In range: truncation toward zero. Beyond it (weeks of play): the low
    // 32 bits of the whole product.
    EXPECT_EQ(ShooterWaveSeed(100.5f, -3), static_cast<std::uint32_t>(-301));
    EXPECT_EQ(ShooterWaveSeed(959.0f, -3000000),
              static_cast<std::uint32_t>(static_cast<std::int64_t>(-2877000000)));
    level.player->SetPosition(959, 394);
    level.startTime = Time() - 3000000;
    AtFrame(61);
    level.Update();  // the seed is out of range; no wave after 30 s
    EXPECT_EQ(All<Enemy>(15).size(), 0u);
}

}  // namespace
