#include <cmath>
#include <string>
#include <tuple>

#include "engine/engine.h"
#include "engine/renderer.h"
#include "engine/texture_cache.h"
#include "entities/base_sprite.h"
#include "platform/core/image.h"
#include "platform/testing/test_hooks.h"
#include "support/scene_fixture.h"

namespace {

using TextureCacheTest = SceneTest;
using SpriteTest = SceneTest;

// One record per name, in load order, holding its own copy of the name.
TEST_F(TextureCacheTest, SameNameSharesOneRecordAndOneRead) {
    TextureCache* cache = engine->textureCache;
    for (const char* n : {"one.bmp", "two.bmp"})
        ASSERT_TRUE(testbmp::WriteSolid(n, 4, 3, 0xFF000001));
    const auto reads = platform::ImageFileReadsForTest();
    auto* s1 = new BaseSprite(std::string("one.bmp").c_str());  // the caller's buffer is gone
    auto* s2 = new BaseSprite(std::string("one.bmp").c_str());
    // Size query and texture creation each read the file once, for the first sprite only.
    EXPECT_EQ(platform::ImageFileReadsForTest() - reads, 2);
    EXPECT_EQ(s1->texture, s2->texture);
    EXPECT_EQ(s1->GetWidth(), 4);
    EXPECT_EQ(s1->GetHeight(), 3);
    cache->Load(std::string("two.bmp").c_str());
    ASSERT_NE(cache->head, nullptr);
    EXPECT_STREQ(cache->head->fileName, "one.bmp");
    EXPECT_EQ(cache->head->next, cache->tail);
    EXPECT_STREQ(cache->tail->fileName, "two.bmp");
    EXPECT_EQ(cache->Find("four.bmp"), nullptr);
    EXPECT_EQ(cache->cursor, nullptr);  // walked every record
}

TEST_F(TextureCacheTest, FailedLoadLeavesNoRecordAndIsNotTriedAgain) {
    TextureCache* cache = engine->textureCache;
    cache->Load("b.bmp");
    EXPECT_EQ(cache->head, nullptr);
    EXPECT_EQ(cache->Find("b.bmp"), nullptr);
    // A file that is not a bitmap fails the same way.
    { std::ofstream("c.bmp") << "not a bitmap"; }
    cache->Load("c.bmp");
    EXPECT_EQ(cache->head, nullptr);
    // A failed name is remembered for the rest of the run: no file read.
    ASSERT_TRUE(testbmp::WriteSolid("b.bmp", 2, 2, 0xFF00FF00));
    const auto reads = platform::ImageFileReadsForTest();
    cache->Load("b.bmp");
    EXPECT_EQ(cache->Find("b.bmp"), nullptr);
    EXPECT_EQ(platform::ImageFileReadsForTest(), reads);
}

TEST_F(SpriteTest, MissingImageDrawsNothingAndDoesNotFail) {
    auto* s = new BaseSprite("missing.bmp");
    EXPECT_EQ(s->texture, nullptr);
    EXPECT_EQ(s->GetWidth(), 0);
    Frame();
    EXPECT_EQ(Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(engine->registry->Count(), 1);
}

TEST_F(SpriteTest, StartsStillAndMovesByDirection) {
    auto* s = new BaseSprite("none.bmp");
    s->Update();
    EXPECT_EQ(s->GetPosition()->x, 0.0f);
    EXPECT_EQ(s->GetPosition()->y, 0.0f);
    s->GetPosition()->z = 7.0f;
    // 0 degrees is right, 90 up the screen, 270 down.
    for (auto [angle, dx, dy] : {std::tuple{0, 5.0f, 0.0f}, {90, 0.0f, -5.0f}, {270, 0.0f, 5.0f}}) {
        s->SetPosition(100, 100);
        s->SetDirection(static_cast<float>(angle), 5);
        s->Update();
        EXPECT_NEAR(s->GetPosition()->x, 100 + dx, 1e-4) << angle;
        EXPECT_NEAR(s->GetPosition()->y, 100 + dy, 1e-4) << angle;
    }
    EXPECT_EQ(s->GetPosition()->z, 7.0f);  // SetPosition leaves z alone
    EXPECT_EQ(s->velocity->z, 5.0f);
}

BaseSprite* Box(float x, float y, int w, int h) {
    auto* s = new BaseSprite("none.bmp");
    s->SetPosition(x, y);
    s->width = w;
    s->height = h;
    return s;
}

TEST_F(SpriteTest, CollidesIsInclusiveAndTruncates) {
    EXPECT_TRUE(Collides(Box(0, 0, 10, 10), Box(10, 0, 10, 10)));  // shared edge
    EXPECT_FALSE(Collides(Box(0, 0, 10, 10), Box(11, 0, 10, 10)));
    EXPECT_TRUE(Collides(Box(0, 0, 10, 10), Box(10, 10, 10, 10)));  // corner
    EXPECT_FALSE(Collides(Box(0, 0, 10, 10), Box(0, 11, 10, 10)));
    EXPECT_FALSE(Collides(Box(0, 11, 10, 10), Box(0, 0, 10, 10)));
    EXPECT_FALSE(Collides(Box(11, 0, 10, 10), Box(0, 0, 10, 10)));
    // -0.5 truncates to 0, so the left edge is 0, not -1: a box ending at
    // x = -1 does not reach it, one ending at 0 does.
    EXPECT_FALSE(Collides(Box(-0.5f, 0, 10, 10), Box(-11, 0, 10, 10)));
    EXPECT_TRUE(Collides(Box(-0.5f, 0, 10, 10), Box(-10, 0, 10, 10)));
    // (width + x) is truncated after the addition: 10 + 0.9 -> 10.
    EXPECT_FALSE(Collides(Box(0.9f, 0, 10, 10), Box(11, 0, 10, 10)));
    // Far-off positions neither overflow nor collide.
    EXPECT_FALSE(Collides(Box(3e10f, 0, 10, 10), Box(0, 0, 10, 10)));
    EXPECT_FALSE(Collides(Box(NAN, NAN, 10, 10), Box(100, 100, 10, 10)));
}

TEST_F(SpriteTest, PlacementFollowsCeilOfPosition) {
    ASSERT_TRUE(testbmp::WriteSolid("w.bmp", 4, 4, 0xFFFFFFFF));
    auto* s = new BaseSprite("w.bmp");
    auto covered = [&](int x0, int y0) {
        for (int y = y0 - 1; y <= y0 + 4; ++y)
            for (int x = x0 - 1; x <= x0 + 4; ++x) {
                const bool inside = x >= x0 && x < x0 + 4 && y >= y0 && y < y0 + 4;
                if ((Pixel(x, y) == 0xFFFFFFFFu) != inside) return false;
            }
        return true;
    };
    s->SetPosition(20, 30);
    Draw();
    EXPECT_TRUE(covered(20, 30));
    s->SetPosition(20.25f, 30.75f);  // fractional: ceil
    Draw();
    EXPECT_TRUE(covered(21, 31));
    s->SetPosition(-0.5f, 40);  // ceil(-0.5) = 0
    Draw();
    EXPECT_EQ(Pixel(0, 40), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(3, 40), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(4, 40), 0xFF000000u);
}

TEST_F(SpriteTest, OffScreenPartsAreClippedNotWrapped) {
    ASSERT_TRUE(testbmp::WriteSolid("w.bmp", 8, 8, 0xFFFFFFFF));
    auto* s = new BaseSprite("w.bmp");
    s->SetPosition(1020, 764);  // right and bottom
    Draw();
    EXPECT_EQ(Pixel(1023, 767), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(0, 765), 0xFF000000u);  // no wrap to the next row's start
    s->SetPosition(-5, -6);                 // left and top
    Draw();
    EXPECT_EQ(Pixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(3, 1), 0xFF000000u);
    EXPECT_EQ(Pixel(2, 2), 0xFF000000u);
    for (float x : {-100000.0f, 5000.0f, 1e30f, -1e30f, NAN, INFINITY}) {
        s->SetPosition(x, x);
        Draw();
    }
    s->SetPosition(1e30f, 0);
    Draw();
    EXPECT_EQ(Pixel(1023, 0), 0xFF000000u);
}

}  // namespace
