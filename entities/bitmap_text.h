/// @file
/// One line of text drawn with a bitmap font: glyph cells of 8 x 12 pixels, 20
/// to a row, starting with the space (code 32). The text is the caller's
/// string, read anew at every render.
#pragma once

#include "entities/base_sprite.h"

class BitmapText : public BaseSprite {
  public:
    BitmapText(const char* fileName, int charWidth, int charHeight);
    ~BitmapText() override {}

    void Render() override;
    void Dump(DumpRecord* record) override;

    /// Keeps the pointer, not a copy: the caller may rewrite the buffer at any time.
    void SetText(const char* newText) { text = newText ? newText : ""; }

    const char* text = "";
    int charWidth;
    int charHeight;
};

/// Draws one line with the font's glyphs, the first at `at`, each next one
/// `advance` pixels to the right; for text that is no entity (overlays).
void DrawBitmapText(IDirect3DTexture9* font, const Vector3& at, int advance, const char* text);
