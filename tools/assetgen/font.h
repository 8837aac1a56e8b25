// The bitmap font: our own 5 x 9 glyph table laid out in 8 x 12 cells.
#pragma once

#include "tools/assetgen/canvas.h"

namespace assetgen {

inline constexpr int kFirstChar = 32;
inline constexpr int kLastChar = 127;
inline constexpr int kCellWidth = 8;
inline constexpr int kCellHeight = 12;
inline constexpr int kGlyphsPerRow = 20;

// Whether pixel (col, row) of the glyph for `code` is set; false outside the table.
bool GlyphPixel(int code, int col, int row);

// smallfont.bmp: 160 x 60, light glyphs with a dark shadow on magenta.
Canvas MakeFont();

}  // namespace assetgen
