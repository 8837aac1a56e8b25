#include "entities/bitmap_text.h"

#include <cstring>

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/renderer.h"

namespace {
constexpr int kGlyphWidth = 8;
constexpr int kGlyphHeight = 12;
constexpr int kGlyphsPerRow = 20;
constexpr int kFirstCode = 32;
constexpr int kLastCode = 127;
}  // namespace

BitmapText::BitmapText(const char* fileName, int charWidth_, int charHeight_)
    : charWidth(charWidth_), charHeight(charHeight_) {
    SetUp(kBitmapTextKind, fileName, true);
    text = "";
}

void BitmapText::Render() { DrawBitmapText(texture, *position, charWidth, text); }

void DrawBitmapText(IDirect3DTexture9* font, const Vector3& at, int advance, const char* text) {
    ID3DXSprite* batch = engine->renderer->sprite;
    if (!batch || !font) return;
    batch->Begin(D3DXSPRITE_ALPHABLEND);
    for (std::size_t i = 0; i < std::strlen(text); ++i) {
        const int code = static_cast<signed char>(text[i]);
        // Codes outside the font (below 32 or above 127) have no cell: skipped.
        if (code < kFirstCode || code > kLastCode) continue;
        const int g = code - kFirstCode;
        RECT srcRect;
        srcRect.left = (g % kGlyphsPerRow) * kGlyphWidth;
        srcRect.top = (g / kGlyphsPerRow) * kGlyphHeight;
        srcRect.right = srcRect.left + kGlyphWidth;
        srcRect.bottom = srcRect.top + kGlyphHeight;
        const D3DXVECTOR3 glyphAt(at.x + static_cast<float>(advance * static_cast<int>(i)), at.y,
                                  0.0f);
        batch->Draw(font, &srcRect, nullptr, &glyphAt, 0xFFFFFFFF);
    }
    batch->End();
}

void BitmapText::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "BitmapText");
    record->Set("text", text);
}
