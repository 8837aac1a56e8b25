/// @file
/// The scrolling ground: a 100 x 14 map of 64 x 64 tiles composed once into an
/// 896 x 6400 surface, of which an 896 x 768 view is copied each frame onto
/// the screen at x 64 ... 959. The sprite's position is the view's offset in
/// map pixels.
#pragma once

#include <cstdint>

#include "entities/base_sprite.h"
#include "platform/core/types.h"

class IDirect3DSurface9;

class TileMap : public BaseSprite {
  public:
    static constexpr int kRows = 100;
    static constexpr int kColumns = 14;
    static constexpr int kTileSize = 64;
    static constexpr int kViewWidth = 896;
    static constexpr int kViewHeight = 768;
    static constexpr int kScreenLeft = 64;

    explicit TileMap(const char* fileName);
    ~TileMap() override;

    void Update() override;
    void Render() override;
    void Dump(DumpRecord* record) override;

    /// The map's tile numbers (1-based indices into the 16-wide tile sheet).
    static const std::int16_t groundMap[kRows][kColumns];
    /// The sheet rectangle of tile n.
    static RECT TileRect(int n);
    /// The map rectangle the view at the current offset copies: the offset
    /// truncated, held inside the map so the ground never vanishes.
    RECT ViewRect() const;

    IDirect3DSurface9* mapSurface = nullptr;
};
