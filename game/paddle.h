// The brick game's bat: the left and right arrow keys move it 10 pixels per
// update, kept inside the 1024-pixel screen; it never moves up or down.
#pragma once

#include "entities/base_sprite.h"

class Paddle : public BaseSprite {
  public:
    // Starts at (512, 700).
    explicit Paddle(const char* fileName);

    void Update() override;
    void Dump(DumpRecord* record) override;
};
