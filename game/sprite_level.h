// The shooting gallery: a background, the crosshair, fifty flowers, and a
// bunny hopping in from the right every three seconds.
#pragma once

#include <cstdint>

#include "engine/base_level.h"

class BaseSprite;
class BaseEvent;
class Bunny;
class Cursor;

class SpriteLevel : public BaseLevel {
  public:
    void Init() override;
    void Update() override;
    // Frees the flower event (the flowers are entities).
    void Shutdown() override;

    BaseSprite* background = nullptr;
    BaseEvent* flowerEvent = nullptr;
    Bunny* lastBunny = nullptr;
    Cursor* crosshair = nullptr;
    std::int32_t nextSpawnTime = -1;
    // Bunnies freed so far after hopping out of sight.
    int reclaimed = 0;

  private:
    // Takes out of play the bunnies that have hopped past the left edge
    // (they only ever move left, so they are never seen again) and frees them.
    void ReclaimGone();
};
