/// @file
/// The gallery's target: hops leftwards in fixed steps; when shot it plays its
/// dying frames (3 to 7) and stays on frame 8.
#pragma once

#include "entities/animated_sprite.h"

class Bunny : public AnimatedSprite {
  public:
    Bunny(const char* fileName, int frameCount, int frameWidth, int frameHeight, int rows,
          int columns);
    ~Bunny() override {}

    void Update() override;
    void Dump(DumpRecord* record) override;

    void Hit();
    /// Hits the bunny when the point lies less than 50 pixels from its top-left corner.
    void HitTest(const Vector3* point);

    bool hit = false;
    bool dead = false;
    bool jumping = false;
    bool landing = false;
    int jumpSpeed = 25;
};
