// A grazing giraffe: heads for a randomly chosen grass patch with a wide
// random wobble, re-aims every 50 steps, and picks another patch on arrival.
#pragma once

#include <cstdint>

#include "entities/base_sprite.h"

class Giraffe : public BaseSprite {
  public:
    // Only the sprite part: no kind, no registration, no image.
    Giraffe() {}
    // A registered giraffe showing that image, at (0, 0), heading left.
    explicit Giraffe(const char* fileName);
    ~Giraffe() override {}

    void Update() override;
    void Dump(DumpRecord* record) override;

    std::int32_t heading = 180;
    std::int32_t targetGrass = -1;
    std::int32_t aimCounter = 0;
    bool atGrass = false;
};
