// The ship, the enemies and the bullets on their own: movement and screen
// limits, fire timing, slowdown, hits, score, removal and the dump.
#include <gtest/gtest.h>

#include <vector>

#include "engine/entity_dump.h"
#include "game/bullet.h"
#include "game/enemy.h"
#include "game/player.h"
#include "shooter/shooter_fixture.h"

namespace {

using Objects = ShooterTest;

TEST_F(Objects, ShipStaysWithinTheScreenByConstantsNeverAtZero) {
    auto* ship = new Player("player.bmp");
    ASSERT_EQ(ship->GetWidth(), 64);
    ASSERT_EQ(ship->GetHeight(), 64);
    engine->width = 640;  // the limits do not follow the window's size
    Key(DIK_RIGHT, true);
    ship->SetPosition(945, 300);
    ship->Update();
    EXPECT_EQ(ship->position->x, 955.0f);
    ship->Update();  // 965 >= 960
    EXPECT_EQ(ship->position->x, 959.0f);
    ship->Update();
    EXPECT_EQ(ship->position->x, 959.0f);
    Key(DIK_RIGHT, false);
    Key(DIK_LEFT, true);
    ship->SetPosition(10, 300);
    ship->Update();  // lands on 0, which counts as off the screen
    EXPECT_EQ(ship->position->x, 1.0f);
    ship->Update();
    EXPECT_EQ(ship->position->x, 1.0f);
    Key(DIK_RIGHT, true);  // opposite keys cancel
    ship->Update();
    EXPECT_EQ(ship->position->x, 1.0f);
    Key(DIK_LEFT, false);
    Key(DIK_RIGHT, false);
    Key(DIK_DOWN, true);
    ship->SetPosition(500, 700);
    ship->Update();
    EXPECT_EQ(ship->position->y, 703.0f);  // 767 - 64
    Key(DIK_DOWN, false);
    Key(DIK_UP, true);
    ship->SetPosition(500, 5);
    ship->Update();
    EXPECT_EQ(ship->position->y, 1.0f);
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
    Bullet* first = All<Bullet>(14)[0];
    EXPECT_EQ(first->position->x, 332.0f);
    EXPECT_EQ(first->position->y, 400.0f);
    EXPECT_EQ(first->owner, ship);
    EXPECT_EQ(first->ownerKind, 13);
    first->Update();
    EXPECT_FLOAT_EQ(first->position->y, 390.0f);  // straight up, 10 per update

    // The counter stands at 5 after update 20; released, it keeps its value.
    Key(DIK_SPACE, false);
    for (int u = 0; u < 5; ++u) ship->Update();
    EXPECT_EQ(ship->fireCounter, 5);
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
        std::vector<Bullet*> bullets;
        for (int u = 1; u <= 50; ++u) {
            const auto before = All<Bullet>(14);
            enemy->Update();
            const auto after = All<Bullet>(14);
            if (after.size() > before.size()) {
                shots.push_back(u);
                bullets.push_back(after.back());
            }
        }
        if (slowdown == 1.0f)
            EXPECT_EQ(shots, (std::vector<int>{1, 13, 25, 37, 49}));
        else
            EXPECT_EQ(shots, (std::vector<int>{1, 23, 45}));
        EXPECT_NEAR(enemy->position->y, -100 + 50 * 10 / slowdown, 1e-3);
        EXPECT_NEAR(enemy->position->x, 200.0f, 1e-3);
        // Its shot: from its middle, down at 30 before its slowdown.
        Bullet* b = bullets[0];
        EXPECT_EQ(b->ownerKind, 15);
        EXPECT_EQ(b->owner, enemy);
        EXPECT_EQ(b->slowdown, slowdown);
        EXPECT_EQ(b->position->x, 224.0f);
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
    EXPECT_FALSE(Registered(a));
    EXPECT_FALSE(Registered(b));
    EXPECT_TRUE(Registered(far));
    EXPECT_FALSE(Registered(bullet));
    EXPECT_EQ(ship->GetScore(), 20);
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

TEST_F(Objects, BulletLeavingTheTopStillHitsInThatUpdate) {
    auto* ship = new Player("player.bmp");
    auto* enemy = new Enemy("enemy.bmp");
    enemy->SetPosition(0, -240);  // bottom edge at -192
    auto* bullet = new Bullet("bullet.bmp", ship, 13);
    bullet->SetPosition(10, -191);
    bullet->SetDirection(90, 10);
    bullet->Update();
    EXPECT_FLOAT_EQ(bullet->position->y, -201.0f);
    EXPECT_FALSE(Registered(bullet));
    EXPECT_FALSE(Registered(enemy));
    EXPECT_EQ(ship->GetScore(), 10);
}

TEST_F(Objects, DumpAddsEachClassesStateAndTheOwnersId) {
    auto* ship = new Player("player.bmp");
    auto* enemy = new Enemy("enemy.bmp");
    enemy->SetSlowdown(2.5f);
    ship->AddScore(30);
    auto* bullet = new Bullet("bullet.bmp", enemy, 15);
    bullet->SetSlowdown(2.5f);
    DumpRecord p, e, b;
    ship->Dump(&p);
    enemy->Dump(&e);
    bullet->Dump(&b);
    EXPECT_EQ(p.Json(), "{\"id\":" + std::to_string(ship->id) +
                            ",\"kind\":13,\"class\":\"Player\",\"x\":0,\"y\":0,\"score\":30,"
                            "\"fireCounter\":100}");
    EXPECT_EQ(e.Get("class"), "\"Enemy\"");
    EXPECT_EQ(e.Get("fireCounter"), "100");
    EXPECT_EQ(e.Get("slowdown"), "2.5");
    EXPECT_EQ(b.Get("class"), "\"Bullet\"");
    EXPECT_EQ(b.Get("slowdown"), "2.5");
    EXPECT_EQ(b.Get("ownerKind"), "15");
    EXPECT_EQ(b.Get("owner"), std::to_string(enemy->id));
}

}  // namespace
