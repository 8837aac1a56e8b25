/// @file
/// The kind of every entity: the key it is registered under and the "kind" a
/// dump prints, so no number may change. Classes may share a kind: a search
/// by kind finds them all. Below 1000 the kinds are the engine's and Velmor's
/// own game's; a game numbers its own from kFirstGameKind.
#pragma once

#include <cstdint>

enum EntityKind : std::int32_t {
    kSpriteKind = 1,  ///< plain sprites, both cursors and the breakout ball
    kModelKind = 2,
    kAnimatedSpriteKind = 3,
    kBunnyKind = 4,
    kPaddleKind = 5,
    kBrickKind = 6,
    kTileMapKind = 7,
    kBitmapTextKind = 8,
    kGiraffeKind = 10,
    kGrassKind = 11,
    kLionKind = 12,
    kPlayerKind = 13,
    kBulletKind = 14,
    kEnemyKind = 15,
    /// A game's own kinds: kFirstGameKind, kFirstGameKind + 1, ...
    kFirstGameKind = 1000,
};
