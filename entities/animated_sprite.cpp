#include "entities/animated_sprite.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/renderer.h"

AnimatedSprite::AnimatedSprite(const char* fileName, int frameCount, int frameWidth,
                               int frameHeight, int rows, int columns)
    : AnimatedSprite(kAnimatedSpriteKind, fileName, frameCount, frameWidth, frameHeight, rows,
                     columns) {}

// The image size is not copied: width and height hold one cell, the size the
// sprite shows on screen.
AnimatedSprite::AnimatedSprite(std::int32_t spriteKind, const char* fileName, int frameCount_,
                               int frameWidth_, int frameHeight_, int rows_, int columns_)
    : frameCount(frameCount_),
      frameWidth(frameWidth_),
      frameHeight(frameHeight_),
      rows(rows_),
      columns(columns_) {
    SetUp(spriteKind, fileName, false);
    width = frameWidth;
    height = frameHeight;
}

void AnimatedSprite::Update() {
    BaseSprite::Update();
    tick += 1;
    if (tick <= 15) return;
    frame += 1;
    if (frame >= frameCount) frame = 0;
    tick = 0;
}

void AnimatedSprite::Render() {
    ID3DXSprite* batch = engine->renderer->sprite;
    if (!batch || !texture) return;
    // A sheet with no columns has no cells to show; a negative frame shows the first cell.
    if (columns < 1) return;
    const int f = frame < 0 ? 0 : frame;
    RECT cellRect;
    cellRect.left = (f % columns) * frameWidth;
    cellRect.top = (f / columns) * frameHeight;
    cellRect.right = cellRect.left + frameWidth;
    cellRect.bottom = cellRect.top + frameHeight;
    batch->Begin(D3DXSPRITE_ALPHABLEND);
    const D3DXVECTOR3 at(position->x, position->y, position->z);
    batch->Draw(texture, &cellRect, nullptr, &at, 0xFFFFFFFF);
    batch->End();
}

void AnimatedSprite::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "AnimatedSprite");
    record->Set("cell", frame);
}
