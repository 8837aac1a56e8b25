// The brick game's ball: moves on its own, bounces off the left, top and
// right edges of the 1024-pixel screen, off a paddle (aimed by where it meets
// it) and off bricks, and knocks out each brick it bounces off. There is no
// bottom wall.
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
    // Off a wall or a brick: one component of the direction turns over.
    virtual void BounceX();
    virtual void BounceY();
    // Off a paddle: up at the same speed, at an angle from vertical set by the
    // offset of the ball's centre from the paddle's centre, in proportion, up
    // to 60 degrees at either edge of the paddle and beyond (straight up at the
    // centre, towards the side of the paddle the ball met).
    virtual void BounceY(const BaseSprite& paddle);

    // Whether the next contact with a paddle bounces the ball: cleared by a
    // paddle bounce, set again at the end of an update that leaves the ball
    // out of reach of every paddle or moving down, so the ball cannot bounce
    // twice off the same paddle on its way out, even off a wall beside it.
    bool paddleArmed = true;
};
