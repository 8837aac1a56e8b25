// Entity kinds and screen limits of the shooter's objects.
#pragma once

constexpr int kPlayerKind = 13;
constexpr int kBulletKind = 14;
constexpr int kEnemyKind = 15;

// The ship stays within these, whatever the window's size.
constexpr int kShooterScreenWidth = 1024;
constexpr int kShooterScreenHeight = 768;
