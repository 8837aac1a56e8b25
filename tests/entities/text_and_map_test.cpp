#include <cmath>
#include <cstring>
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
    // 'A' is cell 33: left 104, top 12 of the sheet.
    EXPECT_EQ(Pixel(10, 10), Glyph(33, 0, 0));
    EXPECT_EQ(Pixel(17, 21), Glyph(33, 7, 11));
    EXPECT_EQ(Pixel(18, 10), Glyph(0, 0, 0));   // space: cell 0, drawn like any glyph
    EXPECT_EQ(Pixel(26, 10), Glyph(35, 0, 0));  // third character at (26, 10)
    EXPECT_EQ(Pixel(34, 10), 0xFF000000u);
    EXPECT_EQ(Pixel(10, 22), 0xFF000000u);
}

TEST_F(BitmapTextTest, ReadsTheCallersBufferEachFrame) {
    WriteFont();
    auto* t = new BitmapText("smallfont.bmp", 10, 12);
    char buffer[16] = "";
    t->SetText(buffer);
    Draw();
    EXPECT_EQ(Pixel(0, 0), 0xFF000000u);  // empty: nothing drawn
    std::strcpy(buffer, "!!");
    Draw();
    EXPECT_EQ(Pixel(0, 0), Glyph(1, 0, 0));
    EXPECT_EQ(Pixel(10, 0), Glyph(1, 0, 0));  // charWidth 10
    std::strcpy(buffer, "~");
    Draw();
    EXPECT_EQ(Pixel(0, 0), Glyph(94, 0, 0));
    EXPECT_EQ(Pixel(10, 0), 0xFF000000u);  // the line got shorter
}

TEST_F(BitmapTextTest, CharactersOutsideTheFontAreSkipped) {
    WriteFont();
    auto* t = new BitmapText("smallfont.bmp", 8, 12);
    t->SetText(
        "\x01"
        "A\xC8"
        "B\n");
    Draw();
    EXPECT_EQ(Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(8, 0), Glyph(33, 0, 0));
    EXPECT_EQ(Pixel(16, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(24, 0), Glyph(34, 0, 0));  // later glyphs keep their places
    t->SetText(nullptr);                       // treated as empty
    Draw();
    EXPECT_EQ(Pixel(8, 0), 0xFF000000u);
}

// Tile sheet of 16 x 10 tiles whose pixels tell the tile number and the place
// in the tile: 0xFF, n, row, column.
std::uint32_t TilePixel(int n, int x, int y) {
    return 0xFF000000u | static_cast<std::uint32_t>(n << 16 | y << 8 | x);
}

class TileMapTest : public SceneTest {
  protected:
    void SetUp() override {
        SceneTest::SetUp();
        std::vector<std::uint32_t> px(1024 * 640);
        for (int y = 0; y < 640; ++y)
            for (int x = 0; x < 1024; ++x)
                px[y * 1024 + x] = TilePixel((y / 64) * 16 + x / 64 + 1, x % 64, y % 64);
        ASSERT_TRUE(testbmp::Write("groundtiles.bmp", 1024, 640, px));
    }
};

TEST_F(TileMapTest, ViewAtOriginShowsRowsZeroToElevenCentred) {
    new TileMap("groundtiles.bmp");
    Draw();
    EXPECT_EQ(Pixel(64, 0), TilePixel(8, 0, 0));
    EXPECT_EQ(Pixel(959, 0), TilePixel(10, 63, 0));
    EXPECT_EQ(Pixel(64 + 5 * 64, 2 * 64), TilePixel(40, 0, 0));
    EXPECT_EQ(Pixel(959, 767), TilePixel(20, 63, 63));  // row 11, column 13
    EXPECT_EQ(Pixel(63, 100), 0xFF000000u);
    EXPECT_EQ(Pixel(960, 100), 0xFF000000u);
}

TEST_F(TileMapTest, OffsetTruncatesAndScrollsWithVelocity) {
    auto* map = new TileMap("groundtiles.bmp");
    map->SetPosition(0, 5.9f);
    Draw();
    EXPECT_EQ(Pixel(64, 0), TilePixel(8, 0, 5));  // map pixel row 5, not 6
    map->SetPosition(0, 0);
    map->SetDirection(270, 5);
    Frame();  // the update moves the view 5 map pixels down before drawing
    EXPECT_NEAR(map->GetPosition()->y, 5.0f, 1e-4);
    EXPECT_EQ(Pixel(64, 0), TilePixel(8, 0, 5));
}

TEST_F(TileMapTest, ViewLeavingTheMapIsHeldAtTheLastFullView) {
    auto* map = new TileMap("groundtiles.bmp");
    map->SetPosition(0, 5630);
    Draw();
    EXPECT_EQ(Pixel(64, 0), TilePixel(18, 0, 62));  // map row 87 ends at 5631
    map->SetPosition(0, 5635);
    Draw();
    EXPECT_EQ(Pixel(64, 0), TilePixel(18, 0, 0));     // y 5632: row 88
    EXPECT_EQ(Pixel(64, 767), TilePixel(28, 0, 63));  // the bottom border
    EXPECT_EQ(map->GetPosition()->y, 5635.0f);        // the offset itself is kept
    map->SetPosition(300, -40);
    Draw();
    EXPECT_EQ(Pixel(64, 0), TilePixel(8, 0, 0));
    map->SetPosition(NAN, 1e30f);
    Draw();
    EXPECT_EQ(Pixel(64, 767), TilePixel(28, 0, 63));
}

TEST_F(TileMapTest, LiesUnderWhatIsRegisteredAfterIt) {
    ASSERT_TRUE(testbmp::WriteSolid("dot.bmp", 4, 4, 0xFFFFFFFF));
    auto* before = new BaseSprite("dot.bmp");
    before->SetPosition(100, 100);
    new TileMap("groundtiles.bmp");
    auto* after = new BaseSprite("dot.bmp");
    after->SetPosition(200, 100);
    Draw();
    EXPECT_NE(Pixel(100, 100), 0xFFFFFFFFu);  // covered by the map
    EXPECT_EQ(Pixel(200, 100), 0xFFFFFFFFu);
}

TEST_F(TileMapTest, MissingSheetDrawsNothing) {
    std::filesystem::remove("groundtiles.bmp");
    auto* map = new TileMap("groundtiles.bmp");
    EXPECT_EQ(map->mapSurface, nullptr);
    Draw();
    EXPECT_EQ(Pixel(64, 0), 0xFF000000u);
}

}  // namespace
