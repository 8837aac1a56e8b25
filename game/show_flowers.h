// Scatters 50 animated flowers over the bottom band of the screen.
#pragma once

#include "levels/base_event.h"

class AnimatedSprite;

class ShowFlowers : public BaseEvent {
  public:
    static constexpr int kFlowerCount = 50;

    ShowFlowers() {}
    void Fire() override;
    bool IsDone() override { return done; }

    bool started = false;
    bool done = false;
    AnimatedSprite* flowers[kFlowerCount] = {};
};
