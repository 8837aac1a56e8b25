// The ship, the enemies and the bullets on their own: screen limits, fire
// timing, slowdown, hits, score and removal.
#include <gtest/gtest.h>

#include <vector>

#include "game/bullet.h"
#include "game/enemy.h"
#include "game/player.h"
#include "support/engine_fixture.h"

namespace {

using Objects = LevelTest;

TEST_F(Objects, ShipStaysWithinTheScreenByConstantsNeverAtZero) {
    auto* ship = new Player("player.bmp");
    ASSERT_EQ(ship->GetWidth(), 64);
    engine->width = 640;  // the limits do not follow the window's size
    // From, keys held, where it ends after one update.
    struct Case {
        float x, y;
        std::vector<int> keys;
        float wantX, wantY;
    };
    const Case cases[] = {
        {945, 300, {DIK_RIGHT}, 955, 300},
        {955, 300, {DIK_RIGHT}, 959, 300},            // 965 >= 960
        {10, 300, {DIK_LEFT}, 1, 300},                // lands on 0, which counts as off the screen
        {300, 300, {DIK_LEFT, DIK_RIGHT}, 300, 300},  // opposite keys cancel
        {500, 700, {DIK_DOWN}, 500, 703},             // 767 - 64
        {500, 5, {DIK_UP}, 500, 1},
    };
    for (const Case& c : cases) {
        for (int k : c.keys) Key(k, true);
        ship->SetPosition(c.x, c.y);
        ship->Update();
        EXPECT_EQ(ship->position->x, c.wantX) << c.x << "," << c.y;
        EXPECT_EQ(ship->position->y, c.wantY) << c.x << "," << c.y;
        for (int k : c.keys) Key(k, false);
    }
}

TEST_F(Objects, HeldSpaceFiresEverySeventhUpdateAndTheCounterWaitsWhileUp) {
    auto* ship = new Player("player.bmp");
    ship->SetPosition(300, 400);
    Key(DIK_SPACE, true);
    std::vector<int> shots;
    for (int u = 1; u <= 20; ++u) {
        const auto before = All<Bullet>(14).size();
        ship->Update();
        if (All<Bullet>(14).size() > before) shots.push_back(u);
    }
    EXPECT_EQ(shots, (std::vector<int>{1, 8, 15}));
    EXPECT_EQ(All<Bullet>(14)[0]->position->x, 332.0f);  // from the ship's middle

    // The counter stands at 5 after update 20; released, it keeps its value.
    Key(DIK_SPACE, false);
    for (int u = 0; u < 5; ++u) ship->Update();
    Key(DIK_SPACE, true);
    ship->Update();  // 6: no shot
    EXPECT_EQ(All<Bullet>(14).size(), 3u);
    Key(DIK_SPACE, false);
    ship->Update();
    Key(DIK_SPACE, true);
    ship->Update();  // stood at 6: fires at once
    EXPECT_EQ(All<Bullet>(14).size(), 4u);
}

TEST_F(Objects, EnemyFireIntervalAndMovementFollowItsSlowdown) {
    for (float slowdown : {1.0f, 2.0f}) {
        auto* enemy = new Enemy("enemy.bmp");
        enemy->SetPosition(200, -100);
        enemy->SetDirection(270, 10);
        enemy->SetSlowdown(slowdown);
        std::vector<int> shots;
        for (int u = 1; u <= 50; ++u) {
            const auto before = All<Bullet>(14).size();
            enemy->Update();
            if (All<Bullet>(14).size() > before) shots.push_back(u);
        }
        const std::vector<int> want =
            slowdown == 1.0f ? std::vector<int>{1, 13, 25, 37, 49} : std::vector<int>{1, 23, 45};
        EXPECT_EQ(shots, want);
        EXPECT_NEAR(enemy->position->y, -100 + 50 * 10 / slowdown, 1e-3);
        // Its shot: down at 30, slowed as the enemy is.
        Bullet* b = All<Bullet>(14)[0];
        const float y0 = b->position->y;
        b->Update();
        EXPECT_NEAR(b->position->y - y0, 30 / slowdown, 1e-3);
        for (Bullet* x : All<Bullet>(14)) engine->registry->Remove(static_cast<BaseEntity*>(x));
    }
}

TEST_F(Objects, EnemyLeavesPlayOnlyBelow1200) {
    auto* enemy = new Enemy("enemy.bmp");
    enemy->SetDirection(270, 0.5f);
    enemy->fireCounter = -1000;  // no shots in the way
    enemy->SetPosition(0, 1199.5f);
    enemy->Update();
    EXPECT_EQ(enemy->position->y, 1200.0f);
    EXPECT_TRUE(Registered(enemy));
    enemy->Update();
    EXPECT_EQ(enemy->position->y, 1200.5f);
    EXPECT_FALSE(Registered(enemy));
}

TEST_F(Objects, PlayersBulletTakesEveryEnemyItTouchesAndScoresTenEach) {
    auto* ship = new Player("player.bmp");
    auto* a = new Enemy("enemy.bmp");
    auto* b = new Enemy("enemy.bmp");
    auto* far = new Enemy("enemy.bmp");
    a->SetPosition(100, 100);
    b->SetPosition(120, 110);
    far->SetPosition(400, 100);
    auto* bullet = new Bullet("bullet.bmp", ship, 13);
    bullet->SetPosition(130, 150);
    bullet->SetDirection(90, 10);
    bullet->Update();  // to y 140: inside both
    EXPECT_FALSE(Registered(a) || Registered(b) || Registered(bullet));
    EXPECT_TRUE(Registered(far));
    EXPECT_EQ(ship->GetScore(), 20);

    // Leaving the top in the same update still hits.
    auto* high = new Enemy("enemy.bmp");
    high->SetPosition(0, -240);  // bottom edge at -192
    bullet = new Bullet("bullet.bmp", ship, 13);
    bullet->SetPosition(10, -191);
    bullet->SetDirection(90, 10);
    bullet->Update();  // to -201: out of play
    EXPECT_FALSE(Registered(bullet) || Registered(high));
    EXPECT_EQ(ship->GetScore(), 30);
}

TEST_F(Objects, EnemysBulletRemovesTheShipAndFliesOn) {
    auto* enemy = new Enemy("enemy.bmp");
    auto* ship = new Player("player.bmp");
    ship->SetPosition(100, 400);
    auto* bullet = new Bullet("bullet.bmp", enemy, 15);
    bullet->SetPosition(130, 360);
    bullet->SetDirection(270, 30);
    bullet->Update();  // y 390: its bottom (406) reaches the ship
    EXPECT_FALSE(Registered(ship));
    EXPECT_TRUE(Registered(bullet));
    EXPECT_EQ(ship->GetScore(), 0);
    for (int i = 0; i < 40; ++i) bullet->Update();
    EXPECT_FALSE(Registered(bullet));  // gone past y 1500
}

}  // namespace
