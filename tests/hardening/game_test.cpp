// Game objects pushed past what a normal session reaches: a pride counted for
// ever, a savanna of one patch, and the shooter's last enemy leaving play.
// Run under the sanitizers, an overflow or a read of a freed enemy fails.
#include <gtest/gtest.h>

#include <cstdint>

#include "engine/entity_kinds.h"
#include "game/enemy.h"
#include "game/giraffe.h"
#include "game/grass_node.h"
#include "game/lion.h"
#include "game/shooter_level.h"
#include "support/engine_fixture.h"

namespace {

using GameLimits = LevelTest;

// A born leader goes on counting the lions around it every update; the count
// stops at the top of its range instead of wrapping.
TEST_F(GameLimits, ABornLeadersPrideCountStopsAtTheTop) {
    auto* leader = new Lion("lion.bmp", true);
    leader->SetPosition(200, 200);
    for (int i = 0; i < 3; ++i) (new Lion("lion.bmp", false))->SetPosition(210, 200);
    leader->prideSize = INT32_MAX - 1;
    leader->Update();
    EXPECT_EQ(leader->prideSize, INT32_MAX);
}

// With one patch, a giraffe that has no target yet takes patch 0 and heads
// for it; once there it keeps it.
TEST_F(GameLimits, AGiraffeOnASavannaOfOnePatchTakesIt) {
    auto* patch = new GrassNode("grass.bmp");
    patch->SetId(0);
    patch->SetPosition(600, 500);
    auto* g = new Giraffe("giraffe.bmp");
    g->SetPosition(500, 500);
    g->Update();
    EXPECT_EQ(g->targetGrass, 0);
    EXPECT_EQ(g->heading, 0);  // aimed to the right, at the patch
    EXPECT_EQ(g->aimCounter, 1);
    g->SetPosition(600, 500);
    g->Update();  // arrives
    g->Update();  // no other patch: keeps this one
    EXPECT_TRUE(g->targetGrass == 0 && g->atGrass);
}

// The shooter's last enemy, removed from play, is not freed while the level
// still names it.
TEST_F(GameLimits, TheShootersLastEnemyIsKeptWhileTheLevelNamesIt) {
    AtFrame(1);
    ShooterLevel level;
    level.Init();
    level.startTime = Time();
    level.lastEnemy = new Enemy("enemy.bmp");
    engine->registry->Remove(static_cast<BaseEntity*>(level.lastEnemy));
    level.Update();
    level.Update();
    EXPECT_EQ(level.reclaimed, 0);
    EXPECT_EQ(level.lastEnemy->kind, kEnemyKind);
}

}  // namespace
