// The vertical shooter: the player's ship, waves of enemies during the first
// 30 seconds of the run, and three lines of text (speed, integrity, score).
// Holding Z raises the speed setting, which slows every enemy and bullet but
// wears the ship's integrity down; at 0 the ship is removed.
#pragma once

#include <cstdint>

#include "engine/base_level.h"

class BitmapText;
class Enemy;
class Player;

class ShooterLevel : public BaseLevel {
  public:
    void Init() override;
    void Update() override;

    Player* player = nullptr;
    // The enemy spawned last: kept when it leaves play, until another is spawned.
    Enemy* lastEnemy = nullptr;
    BitmapText* speedText = nullptr;
    char speedTextBuffer[15] = {};
    std::int32_t speed = 0;
    BitmapText* integrityText = nullptr;
    char integrityTextBuffer[23] = {};
    float integrity = 0.0f;
    BitmapText* scoreText = nullptr;
    char scoreTextBuffer[15] = {};
    std::int64_t now = 0;
    std::int64_t lastTick = 0;
    // Removed bullets and enemies freed so far.
    std::int64_t reclaimed = 0;

  private:
    void UpdateSpeed(bool zDown);
    void UpdateIntegrity();
    void Spawn();
    // Creates one enemy at a random x above the screen; returns that x.
    int SpawnEnemy();
    void ApplySlowdown();
    // Frees the bullets and enemies removed from play.
    void ReclaimSpent();
};

// The wave seed of a second: x * (startTime - now) in double precision,
// truncated toward zero. Products beyond the 32-bit range (a run of weeks)
// keep the low 32 bits of the truncated 64-bit value instead of being
// undefined.
std::uint32_t ShooterWaveSeed(float shipX, std::int64_t secondsBack);
// A float shown as an integer: truncated toward zero, held at the ends of
// the 32-bit range beyond it, 0 for NaN.
std::int32_t ShooterDisplayInt(float value);
