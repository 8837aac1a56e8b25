#include <vector>

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "entities/animated_sprite.h"
#include "entities/bunny.h"
#include "support/scene_fixture.h"

namespace {

using AnimationTest = SceneTest;
using BunnyTest = SceneTest;

TEST_F(AnimationTest, FourFramesInARowCycleEverySixteenUpdates) {
    auto* a = new AnimatedSprite("flower.bmp", 4, 32, 32, 1, 4);
    EXPECT_EQ(a->kind, 3);
    std::vector<int> seen;
    for (int i = 0; i < 80; ++i) {
        seen.push_back(a->frame);
        a->Update();
    }
    for (int i = 0; i < 80; ++i) EXPECT_EQ(seen[i], (i / 16) % 4) << "update " << i;
}

// A 3 x 3 sheet whose cells are each filled with their own colour; frame 5
// must draw the cell at (2w, 1h).
TEST_F(AnimationTest, FrameFiveOfThreeColumnSheetDrawsItsCell) {
    const int w = 6, h = 5;
    std::vector<std::uint32_t> sheet(3 * w * 3 * h);
    auto cellColour = [](int c) { return 0xFF000000u | static_cast<std::uint32_t>(c * 20 + 10); };
    for (int y = 0; y < 3 * h; ++y)
        for (int x = 0; x < 3 * w; ++x) sheet[y * 3 * w + x] = cellColour((y / h) * 3 + x / w);
    ASSERT_TRUE(testbmp::Write("sheet.bmp", 3 * w, 3 * h, sheet));
    auto* a = new AnimatedSprite("sheet.bmp", 9, w, h, 3, 3);
    a->SetPosition(100, 50);
    for (int f : {0, 5, 8}) {
        a->SetFrame(f);
        Draw();
        EXPECT_EQ(Pixel(100, 50), cellColour(f)) << "frame " << f;
        EXPECT_EQ(Pixel(100 + w - 1, 50 + h - 1), cellColour(f)) << "frame " << f;
        EXPECT_EQ(Pixel(100 + w, 50), 0xFF000000u);
        EXPECT_EQ(Pixel(100, 50 + h), 0xFF000000u);
    }
    EXPECT_EQ(a->GetFrameWidth(), w);
    EXPECT_EQ(a->GetFrameHeight(), h);
    a->columns = 0;  // no cells: draws nothing rather than dividing by zero
    Draw();
    EXPECT_EQ(Pixel(100, 50), 0xFF000000u);
}

Bunny* MakeBunny(float x, float y) {
    auto* b = new Bunny("bunny.bmp", 9, 96, 96, 3, 3);
    b->SetPosition(x, y);
    return b;
}

TEST_F(BunnyTest, HopsThreeHundredThirtyPixelsInElevenSteps) {
    Bunny* b = MakeBunny(1060, 600);
    EXPECT_EQ(b->kind, 4);
    int updates = 0;
    while (b->GetPosition()->x == 1060.0f && updates < 200) {
        b->Update();
        ++updates;
    }
    EXPECT_EQ(updates, 33);  // 11 on frame 0, 11 on frame 1, 11 before the first step
    EXPECT_EQ(b->GetPosition()->x, 1030.0f);
    EXPECT_EQ(b->GetPosition()->y, 575.0f);
    EXPECT_EQ(b->frame, 2);
    for (; updates < 143; ++updates) b->Update();
    EXPECT_EQ(b->GetPosition()->x, 730.0f);
    EXPECT_EQ(b->GetPosition()->y, 600.0f);
    EXPECT_FALSE(b->jumping);
    EXPECT_EQ(b->frame, 0);
    // The next cycle starts the same way.
    for (int i = 0; i < 33; ++i) b->Update();
    EXPECT_EQ(b->GetPosition()->x, 700.0f);
    EXPECT_EQ(b->GetPosition()->y, 575.0f);
}

TEST_F(BunnyTest, HitTestIsStrictlyUnderFifty) {
    Bunny* b = MakeBunny(100, 100);
    const Vector3 atFifty(130, 140, 0);  // 30-40-50 triangle
    b->HitTest(&atFifty);
    EXPECT_FALSE(b->hit);
    const Vector3 near(100, 149.9f, 0);
    b->HitTest(&near);
    EXPECT_TRUE(b->hit);
    EXPECT_EQ(b->frame, 3);
}

TEST_F(BunnyTest, DyingFramesThenFrozen) {
    Bunny* b = MakeBunny(500, 300);
    for (int i = 0; i < 40; ++i) b->Update();  // mid-hop
    ASSERT_TRUE(b->jumping);
    const Vector3 hitAt = *b->GetPosition();
    b->HitTest(&hitAt);
    ASSERT_TRUE(b->hit);
    std::vector<int> frames;
    for (int i = 0; i < 40; ++i) {
        b->Update();
        frames.push_back(b->frame);
    }
    // The tick left over from hopping ends frame 3 at once; 4..7 last 4 updates each.
    int firstFour = 0;
    while (frames[firstFour] == 3) ++firstFour;
    for (int f = 4; f <= 7; ++f)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(frames[firstFour + (f - 4) * 4 + k], f);
    EXPECT_EQ(frames[firstFour + 16], 8);
    EXPECT_TRUE(b->dead);
    EXPECT_EQ(b->GetPosition()->x, hitAt.x);  // stays where it was hit
    EXPECT_EQ(b->GetPosition()->y, hitAt.y);
    // Dead: nothing changes any more, and it cannot be hit again.
    b->SetDirection(0, 3);
    for (int i = 0; i < 200; ++i) b->Update();
    EXPECT_EQ(b->frame, 8);
    EXPECT_EQ(b->GetPosition()->x, hitAt.x);
    const Vector3 same = *b->GetPosition();
    b->HitTest(&same);
    EXPECT_EQ(b->frame, 8);
}

TEST_F(BunnyTest, HitFromRestShowsFrameThreeForFourUpdates) {
    Bunny* b = MakeBunny(0, 0);
    b->Hit();
    std::vector<int> frames;
    for (int i = 0; i < 21; ++i) {
        b->Update();
        frames.push_back(b->frame);
    }
    const std::vector<int> expected = {3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 6, 6, 6, 6,
                                       7, 7, 7, 7, 8, 8};
    EXPECT_EQ(frames, expected);
    EXPECT_TRUE(b->dead);
}

}  // namespace

namespace {

TEST_F(BunnyTest, DumpNamesClassCellAndState) {
    Bunny* b = MakeBunny(12.5f, 40);
    b->Hit();
    DumpRecord record;
    b->Dump(&record);
    EXPECT_EQ(record.Get("kind"), "4");
    EXPECT_EQ(record.Get("class"), "\"Bunny\"");
    EXPECT_EQ(record.Get("x"), "12.5");
    EXPECT_EQ(record.Get("cell"), "3");
    EXPECT_EQ(record.Get("hit"), "true");
    EXPECT_EQ(record.Get("dead"), "false");
}

}  // namespace
