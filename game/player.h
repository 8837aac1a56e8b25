// The player's ship: moves with the arrow keys within the screen and fires
// upwards while the space bar is held, first at once and then every 7th
// update. Keeps the score that its bullets earn.
#pragma once

#include <cstdint>

#include "entities/base_sprite.h"
#include "game/scorer.h"

class Player : public BaseSprite, public Scorer {
  public:
    explicit Player(const char* fileName);
    ~Player() override {}

    void Update() override;
    void Dump(DumpRecord* record) override;

    void Shoot();
    void AddScore(std::int32_t points) override { score += points; }
    std::int32_t GetScore() const { return score; }

    // Updates with the fire key held since the last shot; starts high so the
    // first press fires at once.
    std::int32_t fireCounter = 100;
    std::int32_t score = 0;
};
