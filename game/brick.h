// A brick of the brick game: a motionless sprite that a ball knocks out of
// play by bouncing off it. Placed with SetPosition; starts at (0, 0).
#pragma once

#include "entities/base_sprite.h"

class Brick : public BaseSprite {
  public:
    explicit Brick(const char* fileName);

    void Dump(DumpRecord* record) override;
};
