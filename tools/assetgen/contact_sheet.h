// The contact sheet (every image at a glance, cells outlined) and the five
// levels' scenes at screen size, written as PNG; the scenes also make the
// menu's thumbnails.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"

namespace assetgen {

struct SheetItem {
    std::string name;
    const Canvas* image;
    int cellWidth, cellHeight;  // grid to outline; the whole image when equal to its size
    int zoom;                   // 1, 2, 3 … enlarges; -2 halves
};

Canvas MakeContactSheet(const std::vector<SheetItem>& items, int width);

// The gallery as the game shows it: background, flowers, a few bunnies in
// different frames and the crosshair, at 1024 x 768.
Canvas MakeGalleryPreview(const Canvas& background, const Canvas& flower, const Canvas& bunny,
                          const Canvas& crosshair);

// The other levels' scenes as the game composes them, at 1024 x 768, for
// judging the art at screen size.
Canvas MakeSavannaPreview(const Canvas& grass, const Canvas& giraffe, const Canvas& lion,
                          const Canvas& leader, const Canvas& font);
Canvas MakeShooterPreview(const Canvas& player, const Canvas& enemy, const Canvas& bullet,
                          const Canvas& font);
Canvas MakeTigerPreview(const Canvas& groundTiles, const Canvas& tigerFromAbove,
                        const Canvas& font);
Canvas MakeBreakoutPreview(const Canvas& brick, const Canvas& paddle, const Canvas& ball,
                           const Canvas& font);

// The font as the levels use it: lines drawn cell by cell from the font
// sheet, 8 pixels apart, over black, over plain ground and over the meadow.
Canvas MakeTextSample(const Canvas& font, const Canvas& groundTiles, const Canvas& background);

// Draws `text` with the game's own glyph table, each pixel `zoom` wide.
void DrawText(Canvas& c, int x, int y, const std::string& text, int zoom, Rgb ink);

bool SavePng(const Canvas& c, const std::string& path, std::string* error);

}  // namespace assetgen
