#include "game/sprite_level.h"

#include <vector>

#include "base/random.h"
#include "engine/engine.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "entities/bunny.h"
#include "entities/cursor.h"
#include "game/show_flowers.h"
#include "platform/core/clock.h"

void SpriteLevel::Init() {
    background = new BaseSprite("background.bmp");
    background->SetPosition(0, 0);
    crosshair = new Cursor("crosshair.bmp");
    crosshair->SetPosition(512, 400);
    flowerEvent = new ShowFlowers();
    flowerEvent->Fire();
    nextSpawnTime = -1;
    engine->registry->TrackRemoved(kBunnyKind);
    Srand(static_cast<std::uint32_t>(Time()));
}

void SpriteLevel::Shutdown() {
    delete flowerEvent;
    flowerEvent = nullptr;
}

void SpriteLevel::Update() {
    ReclaimGone();
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

void SpriteLevel::ReclaimGone() {
    // Between two frames, outside the entity walk: taking one out here makes
    // no other entity miss an update.
    for (Bunny* bunny : ValuesOf<Bunny>(kBunnyKind)) {
        // A cell is 96 pixels wide: at x <= -96 no pixel of it is on screen.
        if (!bunny->hit && bunny->position->x <= -96.0f)
            engine->registry->Remove(static_cast<BaseEntity*>(bunny));
    }
    reclaimed += engine->FreeRemovedExcept({lastBunny});
}
