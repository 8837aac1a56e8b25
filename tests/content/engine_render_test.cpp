// The generated images drawn by the engine itself: sprites, animation cells,
// the tile map and bitmap text on the software device. Where a sprite's
// pixel is magenta the scene below must show; everywhere else the sprite's
// own colour, exactly. With VELMOR_CONTENT_SHOTS set to a folder, the frames
// are also written there as PNG for a person to look at.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/engine_fixture.h"
#include "engine/engine.h"
#include "engine/renderer.h"
#include "entities/animated_sprite.h"
#include "entities/base_sprite.h"
#include "entities/bitmap_text.h"
#include "entities/tile_map.h"
#include "platform/core/clock.h"
#include "platform/core/image.h"
#include "platform/core/png.h"
#include "platform/core/window.h"

namespace {

constexpr std::uint32_t kKey = 0xFFFF00FF;

struct Picture {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;  // 0xAARRGGBB as read from the file
    std::uint32_t At(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
};

Picture Read(const std::string& name) {
    Picture p;
    EXPECT_TRUE(platform::ReadImageFile(std::string(VELMOR_CONTENT_DIR) + "/" + name, &p.px, &p.w, &p.h, nullptr))
        << name;
    return p;
}

// An engine on the software device, run in the content folder as the game is.
class ContentInEngine : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        savedDir_ = std::filesystem::current_path();
        std::filesystem::current_path(VELMOR_CONTENT_DIR);
        InitEngine();
    }
    void TearDown() override {
        std::filesystem::current_path(savedDir_);
        EngineTest::TearDown();
    }
    std::vector<std::uint32_t> Draw(const char* shotName) {
        engine->renderer->BeginFrame();
        engine->RenderEntities();
        engine->renderer->EndFrame();
        const IDirect3DSurface9* bb = engine->renderer->backBuffer;
        std::vector<std::uint32_t> frame(bb->Pixels(), bb->Pixels() + 1024 * 768);
        if (const char* dir = std::getenv("VELMOR_CONTENT_SHOTS")) {
            std::string error;
            EXPECT_TRUE(platform::SavePng(std::string(dir) + "/" + shotName, frame.data(), 1024,
                                          768, false, &error))
                << error;
        }
        return frame;
    }

private:
    std::filesystem::path savedDir_;
};

TEST_F(ContentInEngine, GallerySpritesShowTheSceneThroughTheirMagenta) {
    auto* background = new BaseSprite("background.bmp");
    background->SetPosition(0, 0);
    const Picture bg = Read("background.bmp"), bunny = Read("bunny.bmp"),
                  flower = Read("flower.bmp"), cross = Read("crosshair.bmp");
    ASSERT_EQ(bg.w, 1024);
    std::vector<std::uint32_t> expected = bg.px;
    auto expectCell = [&](const Picture& sheet, int cell, int cw, int ch, int x, int y) {
        const int columns = sheet.w / cw;
        for (int j = 0; j < ch; ++j)
            for (int i = 0; i < cw; ++i) {
                const std::uint32_t p = sheet.At((cell % columns) * cw + i, (cell / columns) * ch + j);
                if (p != kKey) expected[static_cast<std::size_t>(y + j) * 1024 + x + i] = p;
            }
    };
    for (int f = 0; f < 9; ++f) {
        auto* b = new AnimatedSprite("bunny.bmp", 9, 96, 96, 3, 3);
        const int x = 10 + f * 110, y = 560 + (f % 2) * 60;
        b->SetPosition(static_cast<float>(x), static_cast<float>(y));
        b->SetFrame(f);
        expectCell(bunny, f, 96, 96, x, y);
    }
    for (int f = 0; f < 4; ++f) {
        auto* fl = new AnimatedSprite("flower.bmp", 4, 32, 32, 1, 4);
        const int x = 200 + f * 150, y = 520;
        fl->SetPosition(static_cast<float>(x), static_cast<float>(y));
        fl->SetFrame(f);
        expectCell(flower, f, 32, 32, x, y);
    }
    auto* crosshair = new BaseSprite("crosshair.bmp");
    crosshair->SetPosition(460, 300);
    expectCell(cross, 0, 96, 96, 460, 300);

    const std::vector<std::uint32_t> frame = Draw("gallery.png");
    int wrong = 0;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        wrong += frame[i] != expected[i];
        ASSERT_NE(frame[i], kKey) << "magenta on screen at " << i % 1024 << "," << i / 1024;
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ContentInEngine, GroundAndTextDrawWithoutHolesOrMagenta) {
    new TileMap("groundtiles.bmp");
    auto* text = new BitmapText("smallfont.bmp", 8, 12);
    text->SetPosition(10, 740);  // below the tiles checked here
    text->SetText("X 0 Y 0  Giraffes: 100");
    const std::vector<std::uint32_t> frame = Draw("ground-and-text.png");
    const Picture tiles = Read("groundtiles.bmp");
    ASSERT_EQ(tiles.w, 1024);
    // The view at offset (0, 0): map row 0 is the top border 8, 9 ... 9, 10,
    // then the left edge (18) and plain ground (158) below it.
    auto tilePixel = [&](int n, int x, int y) {
        return tiles.At(((n - 1) % 16) * 64 + x, ((n - 1) / 16) * 64 + y);
    };
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            EXPECT_EQ(frame[static_cast<std::size_t>(y) * 1024 + 64 + 64 + x], tilePixel(9, x, y));
            EXPECT_EQ(frame[static_cast<std::size_t>(y + 64 * 7) * 1024 + 64 + x], tilePixel(18, x, y));
            EXPECT_EQ(frame[static_cast<std::size_t>(y + 64 * 7) * 1024 + 64 + 64 * 6 + x],
                      tilePixel(158, x, y));
        }
    int ink = 0;
    for (int y = 740; y < 752; ++y)
        for (int x = 10; x < 10 + 22 * 8; ++x) {
            const std::uint32_t p = frame[static_cast<std::size_t>(y) * 1024 + x];
            ASSERT_NE(p, kKey);
            ink += ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200;
        }
    EXPECT_GT(ink, 100) << "the line shows in light ink";
}

}  // namespace
