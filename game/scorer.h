// Something that keeps a score: what a player's bullet credits for each enemy
// it takes, without knowing the player's class.
#pragma once

#include <cstdint>

class Scorer {
  public:
    virtual void AddScore(std::int32_t points) = 0;

  protected:
    ~Scorer() = default;
};
