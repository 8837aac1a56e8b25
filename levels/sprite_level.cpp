#include "levels/sprite_level.h"

#include "base/random.h"
#include "entities/bunny.h"
#include "entities/cursor.h"
#include "levels/show_flowers.h"
#include "platform/core/clock.h"

void SpriteLevel::Init() {
    background = new BaseSprite("background.bmp");
    background->SetPosition(0, 0);
    crosshair = new Cursor("crosshair.bmp");
    crosshair->SetPosition(512, 400);
    flowerEvent = new ShowFlowers();
    flowerEvent->Fire();
    nextSpawnTime = -1;
    Srand(static_cast<std::uint32_t>(Time()));
}

void SpriteLevel::Update() {
    if (nextSpawnTime == -1) nextSpawnTime = static_cast<std::int32_t>(Time()) + 3;
    // Reached or passed, not only equal: a frame longer than a second (a
    // stall while the window is dragged) must not stop the bunnies for good.
    if (Time() >= static_cast<std::int64_t>(nextSpawnTime)) {
        lastBunny = new Bunny("bunny.bmp", 9, 96, 96, 3, 3);
        const int y0 = Rand() % 210;
        lastBunny->SetPosition(1060.0f, static_cast<float>(y0) + 526.0f);
        nextSpawnTime = -1;
    }
}
