// Spent bullets and enemies are freed between frames, but never while a
// live bullet names the enemy or the registry's cursor stands on a removed
// node. Run under AddressSanitizer, a read of anything freed too early fails.
#include <gtest/gtest.h>

#include "game/bullet.h"
#include "game/enemy.h"
#include "game/player.h"
#include "game/shooter_level.h"
#include "support/engine_fixture.h"

namespace {

class Reclaim : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        AtFrame(1);
        level.Init();
        level.startTime = Time();
    }
    ShooterLevel level;
};

TEST_F(Reclaim, ALongFightFreesWhatLeftPlay) {
    Key(DIK_SPACE, true);
    for (int k = 0; k < 1500; ++k) {
        Key(DIK_LEFT, k % 200 < 100);
        Key(DIK_RIGHT, k % 200 >= 100);
        level.Update();
        engine->Frame();
    }
    // About 210 player shots and 25 enemies with their fire, nearly all gone.
    EXPECT_GT(level.reclaimed, 400);
    EXPECT_LT(engine->registry->Count(), 60);
}

TEST_F(Reclaim, EnemyWaitsForItsLastBulletAndForTheCursor) {
    auto* enemy = new Enemy("enemy.bmp");
    auto* shot = new Bullet("bullet.bmp", enemy, 15);
    ObjectList* registry = engine->registry;
    registry->Remove(static_cast<BaseEntity*>(enemy));
    level.Update();
    EXPECT_EQ(level.reclaimed, 0);
    EXPECT_EQ(shot->owner->id, enemy->id);

    // The cursor left on the removed bullet: nothing goes until it moves on.
    auto* other = new Enemy("enemy.bmp");
    registry->Reset();
    ASSERT_EQ(registry->Find(14), shot);
    registry->SetCursor(registry->Tail());
    registry->Remove(static_cast<BaseEntity*>(other));
    registry->Remove(static_cast<BaseEntity*>(shot));
    level.Update();  // its slowdown pass resets the cursor afterwards
    EXPECT_EQ(level.reclaimed, 0);
    level.Update();
    EXPECT_EQ(level.reclaimed, 3);
}

}  // namespace
