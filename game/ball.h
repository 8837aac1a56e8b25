// The brick game's ball: moves on its own, bounces off the left, top and
// right edges of the 1024-pixel screen, off a paddle and off bricks, and
// knocks out each brick it bounces off. There is no bottom wall.
#pragma once

#include "entities/base_sprite.h"

class Ball : public BaseSprite {
  public:
    // Stands still at (512, 600) until SetDirection gives it a direction and a
    // speed; armed for the first paddle contact.
    explicit Ball(const char* fileName);

    void Update() override;
    void Dump(DumpRecord* record) override;
    // Every bounce goes through these, so a derived ball may bounce its own way.
    virtual void BounceX();
    virtual void BounceY();

    // Whether the next contact with a paddle bounces the ball: cleared by a
    // paddle bounce, set again by every wall or brick bounce, so the ball
    // cannot bounce twice off the same paddle on its way out.
    bool paddleArmed = true;
};
