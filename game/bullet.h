// A shot of the player or of an enemy. It moves along its direction divided
// by its slowdown, leaves play outside -200 <= y <= 1500, and finds its own
// hits: a player's bullet removes every enemy it touches (10 points each for
// its owner), an enemy's bullet removes the player and flies on.
#pragma once

#include <cstdint>

#include "entities/base_sprite.h"

class Bullet : public BaseSprite {
  public:
    // `owner` is not owned; `ownerKind` is its kind at the time of the shot
    // (13 the player, 15 an enemy).
    Bullet(const char* fileName, BaseSprite* owner, std::int32_t ownerKind);
    ~Bullet() override {}

    void Update() override;
    void Dump(DumpRecord* record) override;

    void SetSlowdown(float value) { slowdown = value; }
    void CheckHits();

    float slowdown = 1.0f;
    BaseSprite* owner;
    std::int32_t ownerKind;
};
