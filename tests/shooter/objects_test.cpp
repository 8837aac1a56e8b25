#include <gtest/gtest.h>

#include <vector>

#include "game/bullet.h"
#include "game/enemy.h"
#include "game/player.h"
#include "support/engine_fixture.h"

namespace {

using Objects = LevelTest;

// The limits are constants, not the window's size; 0 counts as off the screen.
TEST_F(Objects, ShipStaysWithinTheScreenByConstantsNeverAtZero) {
    auto* ship = new Player("player.bmp");
    engine->width = 640;
    const float cases[][5] = {{955, 300, DIK_RIGHT, 959, 300},
                              {10, 300, DIK_LEFT, 1, 300},
                              {500, 700, DIK_DOWN, 500, 703},
                              {500, 5, DIK_UP, 500, 1}};
    for (auto [x, y, key, wantX, wantY] : cases) {
        Key(static_cast<int>(key), true);
        ship->SetPosition(x, y);
        ship->Update();
        EXPECT_TRUE(ship->position->x == wantX && ship->position->y == wantY) << x << "," << y;
        Key(static_cast<int>(key), false);
    }
}

// The updates (from 1) on which `who` adds a bullet; nothing else runs.
std::vector<int> Shots(BaseEntity* who, int updates) {
    std::vector<int> shots;
    for (int u = 1; u <= updates; ++u) {
        const auto before = engine->registry->Count();
        who->Update();
        if (engine->registry->Count() > before) shots.push_back(u);
    }
    return shots;
}

// Every seventh update from the ship's middle; the counter waits while space is up.
TEST_F(Objects, HeldSpaceFiresEverySeventhUpdateAndTheCounterWaitsWhileUp) {
    auto* ship = new Player("player.bmp");
    ship->SetPosition(300, 400);
    Key(DIK_SPACE, true);
    EXPECT_EQ(Shots(ship, 20), (std::vector<int>{1, 8, 15}));
    EXPECT_EQ(ValuesOf<Bullet>(kBulletKind)[0]->position->x, 332.0f);
    for (int up : {5, 1}) {  // released, the counter keeps its value
        Key(DIK_SPACE, false);
        for (int u = 0; u < up; ++u) ship->Update();
        Key(DIK_SPACE, true);
        EXPECT_EQ(Shots(ship, 1).size(), up == 1 ? 1u : 0u) << up;
    }
}

// Enemy fire, its movement and its shot all follow its slowdown.
TEST_F(Objects, EnemyFireIntervalAndMovementFollowItsSlowdown) {
    for (float slowdown : {1.0f, 2.0f}) {
        auto* enemy = new Enemy("enemy.bmp");
        enemy->SetPosition(200, -100);
        enemy->SetDirection(270, 10);
        enemy->SetSlowdown(slowdown);
        EXPECT_EQ(Shots(enemy, 50), (slowdown == 1.0f ? std::vector<int>{1, 13, 25, 37, 49}
                                                      : std::vector<int>{1, 23, 45}));
        EXPECT_NEAR(enemy->position->y, -100 + 50 * 10 / slowdown, 1e-3);
        Bullet* b = ValuesOf<Bullet>(kBulletKind).back();  // down at 30, slowed as the enemy is
        const float y0 = b->position->y;
        b->Update();
        EXPECT_NEAR(b->position->y - y0, 30 / slowdown, 1e-3);
    }
}

// A ship's bullet takes every enemy it touches, 10 points each, even as it
// leaves the top; an enemy's bullet takes the ship and flies on.
TEST_F(Objects, BulletsTakeWhatTheyTouch) {
    auto* ship = new Player("player.bmp");
    std::vector<Enemy*> e;
    for (auto [x, y] : {std::pair{100, 100}, {120, 110}, {400, 100}, {0, -240}}) {
        e.push_back(new Enemy("enemy.bmp"));
        e.back()->SetPosition(x, y);
    }
    for (float y : {150.0f, -191.0f}) {  // to 140: inside both; to -201: out of play
        auto* bullet = new Bullet("bullet.bmp", ship, 13);
        bullet->SetPosition(y > 0 ? 130 : 10, y);
        bullet->SetDirection(90, 10);
        bullet->Update();
        EXPECT_FALSE(Registered(bullet));
    }
    EXPECT_TRUE(!Registered(e[0]) && !Registered(e[1]) && Registered(e[2]) && !Registered(e[3]));
    EXPECT_EQ(ship->GetScore(), 30);

    ship->SetPosition(100, 400);
    auto* bullet = new Bullet("bullet.bmp", e[2], 15);
    bullet->SetPosition(130, 360);
    bullet->SetDirection(270, 30);
    bullet->Update();  // y 390: its bottom (406) reaches the ship
    EXPECT_TRUE(!Registered(ship) && Registered(bullet) && ship->GetScore() == 30);
    for (int i = 0; i < 40; ++i) bullet->Update();
    EXPECT_FALSE(Registered(bullet));  // gone past y 1500
}

}  // namespace
