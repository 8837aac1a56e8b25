#include <cmath>
#include <fstream>
#include <string>
#include <tuple>

#include "engine/engine.h"
#include "engine/renderer.h"
#include "engine/texture_cache.h"
#include "entities/base_sprite.h"
#include "support/driver_spy.h"
#include "support/scene_fixture.h"

namespace {

using TextureCacheTest = SceneTest;
using SpriteTest = SceneTest;

// One record per name, holding its own copy of the name; a failed name leaves
// no record, draws nothing and is not read again.
TEST_F(TextureCacheTest, SameNameSharesOneRecordAndFailuresAreRemembered) {
    TextureCache* cache = engine->textureCache;
    ASSERT_TRUE(testbmp::WriteSolid("one.bmp", 4, 3, 0xFF000001));
    const DriverSpy spy;
    auto* s1 = new BaseSprite(std::string("one.bmp").c_str());  // the caller's buffer is gone
    auto* s2 = new BaseSprite(std::string("one.bmp").c_str());
    // The texture is decoded once, for the first sprite only.
    EXPECT_EQ(DriverSpy::decodes, 1);
    EXPECT_EQ(s1->texture, s2->texture);
    EXPECT_STREQ(cache->head->fileName, "one.bmp");
    EXPECT_EQ(cache->head, cache->tail);

    auto* missing = new BaseSprite("b.bmp");
    EXPECT_EQ(missing->texture, nullptr);
    { std::ofstream("c.bmp") << "not a bitmap"; }
    cache->Load("c.bmp");
    EXPECT_EQ(cache->head, cache->tail);
    ASSERT_TRUE(testbmp::WriteSolid("b.bmp", 2, 2, 0xFF00FF00));
    const int before = DriverSpy::decodes;
    cache->Load("b.bmp");
    EXPECT_EQ(cache->Find("b.bmp"), nullptr);
    EXPECT_EQ(DriverSpy::decodes, before);
    Frame();  // the sprite without a texture draws nothing over the others
    EXPECT_EQ(Pixel(0, 0), 0xFF000001u);
}

BaseSprite* Box(float x, float y) {
    auto* s = new BaseSprite("none.bmp");
    s->SetPosition(x, y);
    s->width = s->height = 10;
    return s;
}

// Edges are inclusive; positions truncate (width + x after the addition).
TEST_F(SpriteTest, CollidesIsInclusiveAndTruncates) {
    const std::tuple<float, float, float, float, bool> rows[] = {
        {0, 0, 10, 0, true},        {0, 0, 11, 0, false},    {0, 0, 10, 10, true},
        {0, 0, 0, 11, false},       {0, 11, 0, 0, false},    {-0.5f, 0, -11, 0, false},
        {-0.5f, 0, -10, 0, true},   {0.9f, 0, 11, 0, false}, {3e10f, 0, 0, 0, false},
        {NAN, NAN, 100, 100, false}};
    for (auto [x1, y1, x2, y2, hit] : rows)
        EXPECT_EQ(Collides(Box(x1, y1), Box(x2, y2)), hit) << x1 << "," << y1 << " " << x2;
}

TEST_F(SpriteTest, PlacementFollowsCeilOfPositionAndClips) {
    ASSERT_TRUE(testbmp::WriteSolid("w.bmp", 4, 4, 0xFFFFFFFF));
    auto* s = new BaseSprite("w.bmp");
    auto covered = [&](int x0, int y0) {
        for (int y = y0 - 1; y <= y0 + 4; ++y)
            for (int x = x0 - 1; x <= x0 + 4; ++x) {
                const bool inside = x >= x0 && x < x0 + 4 && y >= y0 && y < y0 + 4;
                if (x >= 0 && y >= 0 && (Pixel(x, y) == 0xFFFFFFFFu) != inside) return false;
            }
        return true;
    };
    for (auto [x, y, x0, y0] : {std::tuple{20.0f, 30.0f, 20, 30},
                                {20.25f, 30.75f, 21, 31},
                                {-0.5f, 40.0f, 0, 40},
                                {-2.0f, -3.0f, -2, -3}}) {
        s->SetPosition(x, y);
        Draw();
        EXPECT_TRUE(covered(x0, y0)) << x << "," << y;
    }
    s->SetPosition(1022, 764);
    Draw();
    EXPECT_EQ(Pixel(1023, 767), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(0, 765), 0xFF000000u);  // no wrap to the next row's start
    for (float x : {-100000.0f, 5000.0f, 1e30f, -1e30f, NAN, INFINITY}) {
        s->SetPosition(x, 0);
        Draw();
        EXPECT_EQ(Pixel(1023, 0), 0xFF000000u) << x;
    }
}

}  // namespace
