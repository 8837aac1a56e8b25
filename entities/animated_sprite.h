/// @file
/// A sprite that shows one cell of a sheet of equal cells, stepping to the
/// next cell every 16 updates and looping.
#pragma once

#include "entities/base_sprite.h"

class AnimatedSprite : public BaseSprite {
  public:
    AnimatedSprite(const char* fileName, int frameCount, int frameWidth, int frameHeight, int rows,
                   int columns);
    ~AnimatedSprite() override {}

    void Update() override;
    void Render() override;
    void Dump(DumpRecord* record) override;

    void SetFrame(int f) { frame = f; }
    int GetFrameWidth() const { return frameWidth; }
    int GetFrameHeight() const { return frameHeight; }

    int frameCount;
    int frame = 0;
    int frameWidth;
    int frameHeight;
    int rows;
    int columns;
    int tick = 0;

  protected:
    /// For Bunny: the same set-up under another kind.
    AnimatedSprite(std::int32_t spriteKind, const char* fileName, int frameCount, int frameWidth,
                   int frameHeight, int rows, int columns);
};
