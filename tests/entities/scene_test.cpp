// Sprites, animated cells, text and the tile map in one frame, each where
// its drawing rules put it. With VELMOR_SCENE_PNG set, the frame is also
// written there as PNG for a person to look at.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/engine.h"
#include "entities/animated_sprite.h"
#include "entities/base_sprite.h"
#include "entities/bitmap_text.h"
#include "entities/bunny.h"
#include "entities/tile_map.h"
#include "platform/core/png.h"
#include "support/scene_fixture.h"

namespace {

constexpr std::uint32_t kMagenta = 0xFFFF00FF;

struct Canvas {
    Canvas(int w_, int h_, std::uint32_t fill) : w(w_), h(h_), px(w_ * h_, fill) {}
    void Rect(int x0, int y0, int rw, int rh, std::uint32_t c) {
        for (int y = y0; y < y0 + rh; ++y)
            for (int x = x0; x < x0 + rw; ++x)
                if (x >= 0 && y >= 0 && x < w && y < h) px[y * w + x] = c;
    }
    void Disc(int cx, int cy, int r, std::uint32_t c) {
        for (int y = cy - r; y <= cy + r; ++y)
            for (int x = cx - r; x <= cx + r; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) Rect(x, y, 1, 1, c);
    }
    bool Save(const char* name) { return testbmp::Write(name, w, h, px); }
    int w, h;
    std::vector<std::uint32_t> px;
};

// 3 x 5 glyphs (rows top to bottom, 3 bits each, high bit left) drawn 2x.
struct Glyph3x5 {
    char c;
    unsigned rows[5];
};
const Glyph3x5 kGlyphs[] = {
    {'0', {7, 5, 5, 5, 7}}, {'1', {2, 6, 2, 2, 7}}, {'2', {7, 1, 7, 4, 7}},
    {'3', {7, 1, 7, 1, 7}}, {'4', {5, 5, 7, 1, 1}}, {'5', {7, 4, 7, 1, 7}},
    {'6', {7, 4, 7, 5, 7}}, {'7', {7, 1, 1, 1, 1}}, {'8', {7, 5, 7, 5, 7}},
    {'9', {7, 5, 7, 1, 7}}, {'V', {5, 5, 5, 5, 2}}, {'E', {7, 4, 6, 4, 7}},
    {'L', {4, 4, 4, 4, 7}}, {'M', {5, 7, 7, 5, 5}}, {'O', {7, 5, 5, 5, 7}},
    {'R', {6, 5, 6, 5, 5}}, {':', {0, 2, 0, 2, 0}},
};

void WriteSceneImages() {
    Canvas tiles(1024, 640, 0xFF000000);
    for (int n = 1; n <= 160; ++n) {
        const int x = ((n - 1) % 16) * 64, y = ((n - 1) / 16) * 64;
        const std::uint32_t base = 0xFF000000u | static_cast<std::uint32_t>(
                                                     (n * 37 % 200 + 40) << 16 |
                                                     (n * 71 % 160 + 60) << 8 | (n * 13 % 120));
        tiles.Rect(x, y, 64, 64, base);
        tiles.Rect(x, y, 64, 2, 0xFF202020);  // a seam along the top and left
        tiles.Rect(x, y, 2, 64, 0xFF202020);
        tiles.Disc(x + 32, y + 32, 4 + n % 8, base ^ 0x00303030);
    }
    ASSERT_TRUE(tiles.Save("groundtiles.bmp"));

    Canvas flower(128, 32, kMagenta);
    for (int f = 0; f < 4; ++f) {
        flower.Rect(f * 32 + 15, 16, 2, 16, 0xFF20A020);
        flower.Disc(f * 32 + 16, 12, 5 + f * 2, 0xFFFFD000 - static_cast<std::uint32_t>(f) * 0x3000);
        flower.Disc(f * 32 + 16, 12, 3, 0xFFC04000);
    }
    ASSERT_TRUE(flower.Save("flower.bmp"));

    Canvas bunny(288, 288, kMagenta);
    for (int f = 0; f < 9; ++f) {
        const int x = (f % 3) * 96, y = (f / 3) * 96;
        const std::uint32_t fur = f >= 3 ? 0xFFC08080 : 0xFFE0E0E0;
        bunny.Disc(x + 48, y + 60, 26, fur);
        bunny.Disc(x + 48, y + 30, 16, fur);
        bunny.Rect(x + 38, y + 4 + f, 6, 20, fur);
        bunny.Rect(x + 52, y + 4 + f, 6, 20, fur);
        bunny.Disc(x + 42, y + 28, 2, 0xFF000000);
        bunny.Disc(x + 54, y + 28, 2, 0xFF000000);
        bunny.Rect(x + 4, y + 88, 8 * (f + 1), 4, 0xFF2040FF);  // frame bar: f + 1 blocks
    }
    ASSERT_TRUE(bunny.Save("bunny.bmp"));

    Canvas font(160, 72, kMagenta);
    for (const auto& g : kGlyphs) {
        const int cell = g.c - 32, x0 = (cell % 20) * 8, y0 = (cell / 20) * 12;
        for (int r = 0; r < 5; ++r)
            for (int b = 0; b < 3; ++b)
                if (g.rows[r] & (4u >> b)) font.Rect(x0 + 1 + b * 2, y0 + 1 + r * 2, 2, 2, 0xFFFFFFFF);
    }
    ASSERT_TRUE(font.Save("smallfont.bmp"));
}

using SceneDrawTest = SceneTest;

TEST_F(SceneDrawTest, SpritesCellsTextAndMapTogether) {
    WriteSceneImages();
    auto* map = new TileMap("groundtiles.bmp");
    map->SetPosition(0, 64 * 3 + 20);  // scrolled: rows 3 ... 15 visible, 20 pixels into row 3
    std::vector<AnimatedSprite*> flowers;
    for (int i = 0; i < 8; ++i) {
        auto* f = new AnimatedSprite("flower.bmp", 4, 32, 32, 1, 4);
        f->SetPosition(100.0f + i * 40.0f, 700.0f);
        f->SetFrame(i % 4);
        flowers.push_back(f);
    }
    auto* hopping = new Bunny("bunny.bmp", 9, 96, 96, 3, 3);
    hopping->SetPosition(600, 400);
    hopping->SetFrame(2);
    auto* shot = new Bunny("bunny.bmp", 9, 96, 96, 3, 3);
    shot->SetPosition(750.5f, 400);  // fractional: lands on column 751
    shot->SetFrame(5);
    auto* text = new BitmapText("smallfont.bmp", 8, 12);
    text->SetPosition(80, 20);
    char line[32] = "VELMOR 0123456789";
    text->SetText(line);
    auto* corner = new BaseSprite("flower.bmp");  // the whole sheet, half off screen
    corner->SetPosition(1000, 740);
    Draw();

    const auto tileColour = [](int n) {
        return 0xFF000000u | static_cast<std::uint32_t>((n * 37 % 200 + 40) << 16 |
                                                        (n * 71 % 160 + 60) << 8 | (n * 13 % 120));
    };
    // The map's view: screen row 0 is map row 212, i.e. 20 pixels into map row 3.
    EXPECT_EQ(Pixel(65, 0), 0xFF202020u);               // column 0's left seam (tile 18)
    EXPECT_EQ(Pixel(66, 0), tileColour(18));
    EXPECT_EQ(Pixel(64 + 70, 43), tileColour(158));     // last line of map row 3
    EXPECT_EQ(Pixel(64 + 70, 44), 0xFF202020u);         // map row 4's top seam
    EXPECT_EQ(Pixel(64 + 70, 50), tileColour(158));     // map (3, 1), 6 px into the tile
    EXPECT_EQ(Pixel(40, 300), 0xFF000000u);             // left of the map: cleared black
    // Flowers stand over the map: frame 0's stem, and magenta is see-through.
    EXPECT_EQ(Pixel(115, 720), 0xFF20A020u);
    EXPECT_NE(Pixel(100, 700), kMagenta);
    // Bunny on frame 5 (row 1, column 2): its frame bar is 6 blocks long.
    EXPECT_EQ(Pixel(751 + 4, 400 + 88), 0xFF2040FFu);
    EXPECT_EQ(Pixel(751 + 4 + 47, 400 + 88), 0xFF2040FFu);
    EXPECT_NE(Pixel(751 + 4 + 48, 400 + 88), 0xFF2040FFu);
    EXPECT_EQ(Pixel(750, 400 + 88) == 0xFF2040FFu, false);
    // Text: 'V' (top-left block of its 3 x 5 glyph) at (81, 21); 'E' 8 px on.
    EXPECT_EQ(Pixel(81, 21), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(89, 21), 0xFFFFFFFFu);
    EXPECT_NE(Pixel(80, 20), 0xFFFFFFFFu);
    // The whole sheet at (1000, 740): only its first flower's left part shows.
    EXPECT_EQ(Pixel(1015, 767), 0xFF20A020u);

    if (const char* out = std::getenv("VELMOR_SCENE_PNG")) {
        const IDirect3DSurface9* bb = engine->renderer->backBuffer;
        std::string error;
        EXPECT_TRUE(platform::SavePng(out, bb->Pixels(), 1024, 768, false, &error)) << error;
    }
}

}  // namespace
