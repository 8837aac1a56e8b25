#include <cmath>
#include <cstring>
#include <tuple>
#include <utility>
#include <vector>

#include "engine/engine.h"
#include "engine/renderer.h"
#include "entities/base_sprite.h"
#include "entities/bitmap_text.h"
#include "entities/tile_map.h"
#include "support/scene_fixture.h"

namespace {

// Font sheet of 20 x 6 cells of 8 x 12 whose every pixel tells its cell and
// its place in the cell: 0xFF, cell + 1, row, column.
std::uint32_t Glyph(int cell, int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>((cell + 1) << 16 | y << 8 | x);
}

void WriteFont() {
    std::vector<std::uint32_t> px(160 * 72);
    for (int y = 0; y < 72; ++y)
        for (int x = 0; x < 160; ++x) px[y * 160 + x] = Glyph((y / 12) * 20 + x / 8, x % 8, y % 12);
    ASSERT_TRUE(testbmp::Write("smallfont.bmp", 160, 72, px));
}

using BitmapTextTest = SceneTest;

TEST_F(BitmapTextTest, GlyphsComeFromTheirCellsAtCharWidthSteps) {
    WriteFont();
    auto* t = new BitmapText("smallfont.bmp", 8, 12);
    t->SetPosition(10, 10);
    t->SetText("A C");
    Draw();
    EXPECT_EQ(Pixel(10, 10), Glyph(33, 0, 0));
    EXPECT_EQ(Pixel(17, 21), Glyph(33, 7, 11));
    EXPECT_EQ(Pixel(18, 10), Glyph(0, 0, 0));   // space: cell 0, drawn like any glyph
    EXPECT_EQ(Pixel(26, 10), Glyph(35, 0, 0));  // third character at (26, 10)
    EXPECT_EQ(Pixel(34, 10), 0xFF000000u);
}

// The text is read from the caller's buffer each frame; characters outside
// the font are skipped, keeping later glyphs in their places.
TEST_F(BitmapTextTest, ReadsTheCallersBufferEachFrameAndSkipsUnknownCharacters) {
    WriteFont();
    auto* t = new BitmapText("smallfont.bmp", 10, 12);
    char buffer[16] = "";
    t->SetText(buffer);
    const std::pair<const char*, std::vector<std::uint32_t>> rows[] = {
        {"", {0xFF000000u, 0xFF000000u}},
        {"!!", {Glyph(1, 0, 0), Glyph(1, 0, 0)}},
        {"~", {Glyph(94, 0, 0), 0xFF000000u}},
        {"\x01"
         "A\xC8"
         "B\n",
         {0xFF000000u, Glyph(33, 0, 0), 0xFF000000u, Glyph(34, 0, 0), 0xFF000000u}}};
    for (const auto& [text, pixels] : rows) {
        std::strcpy(buffer, text);
        Draw();
        for (std::size_t i = 0; i < pixels.size(); ++i) EXPECT_EQ(Pixel(10 * i, 0), pixels[i]) << i;
    }
    t->SetText(nullptr);  // treated as empty
    Draw();
    EXPECT_EQ(Pixel(10, 0), 0xFF000000u);
}

// Tile sheet of 16 x 10 tiles whose pixels tell the tile number and the place
// in the tile: 0xFF, n, row, column.
std::uint32_t TilePixel(int n, int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(n << 16 | y << 8 | x);
}

using TileMapTest = SceneTest;

TEST_F(TileMapTest, OffsetTruncatesScrollsAndIsHeldAtTheLastFullView) {
    std::vector<std::uint32_t> px(1024 * 640);
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 1024; ++x)
            px[y * 1024 + x] = TilePixel((y / 64) * 16 + x / 64 + 1, x % 64, y % 64);
    ASSERT_TRUE(testbmp::Write("groundtiles.bmp", 1024, 640, px));
    auto* map = new TileMap("groundtiles.bmp");
    map->SetDirection(270, 5);
    Frame();  // the update moves the view 5 map pixels down before drawing
    EXPECT_EQ(Pixel(64, 0), TilePixel(8, 0, 5));
    // Map offset, screen pixel, what it shows; the view is centred, 14 x 12 tiles.
    const std::tuple<float, float, int, int, std::uint32_t> rows[] = {
        {0, 0, 63, 0, 0xFF000000u},
        {0, 0, 959, 767, TilePixel(20, 63, 63)},  // row 11, column 13
        {0, 0, 960, 0, 0xFF000000u},
        {0, 5.9f, 64, 0, TilePixel(8, 0, 5)},      // map pixel row 5, not 6
        {0, 5630, 64, 0, TilePixel(18, 0, 62)},    // map row 87 ends at 5631
        {0, 5635, 64, 0, TilePixel(18, 0, 0)},     // held at y 5632: row 88
        {0, 5635, 64, 767, TilePixel(28, 0, 63)},  // the bottom border
        {300, -40, 64, 0, TilePixel(8, 0, 0)},     // held at the top
        {NAN, 1e30f, 64, 767, TilePixel(28, 0, 63)}};
    for (auto [x, y, px, py, pixel] : rows) {
        map->SetPosition(x, y);
        Draw();
        EXPECT_EQ(Pixel(px, py), pixel) << y << " " << px << "," << py;
    }
    EXPECT_EQ(map->GetPosition()->y, 1e30f);  // the offset itself is kept
}

TEST_F(TileMapTest, MissingSheetDrawsNothing) {
    new TileMap("groundtiles.bmp");
    Draw();
    EXPECT_EQ(Pixel(64, 0), 0xFF000000u);
}

}  // namespace
