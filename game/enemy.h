// An enemy ship: flies along its direction, fires downwards at a fixed
// interval and leaves play below y = 1200. Its slowdown divides its
// movement and stretches its fire interval.
#pragma once

#include <cstdint>

#include "entities/base_sprite.h"

class Enemy : public BaseSprite {
  public:
    explicit Enemy(const char* fileName);
    ~Enemy() override {}

    void Update() override;
    void Dump(DumpRecord* record) override;

    void Shoot();
    void SetSlowdown(float value) { slowdown = value; }

    // Updates since the last shot; starts high so the first update fires.
    std::int32_t fireCounter = 100;
    float slowdown = 1.0f;
};
