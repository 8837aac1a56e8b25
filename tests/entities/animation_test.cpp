#include <algorithm>
#include <vector>

#include "engine/engine.h"
#include "entities/animated_sprite.h"
#include "entities/bunny.h"
#include "support/scene_fixture.h"

namespace {

using AnimationTest = SceneTest;
using BunnyTest = SceneTest;

TEST_F(AnimationTest, FourFramesInARowCycleEverySixteenUpdates) {
    auto* a = new AnimatedSprite("flower.bmp", 4, 32, 32, 1, 4);
    for (int i = 0; i < 80; ++i, a->Update()) EXPECT_EQ(a->frame, (i / 16) % 4) << "update " << i;
}

// A 3 x 3 sheet whose cells each have their own colour.
TEST_F(AnimationTest, FrameOfThreeColumnSheetDrawsItsCell) {
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
        EXPECT_EQ(Pixel(100 + w - 1, 50 + h - 1), cellColour(f)) << "frame " << f;
        EXPECT_EQ(Pixel(100 + w, 50 + h - 1), 0xFF000000u);
    }
    a->columns = 0;  // no cells: draws nothing rather than dividing by zero
    Draw();
    EXPECT_EQ(Pixel(100, 50), 0xFF000000u);
}

Bunny* MakeBunny(float x, float y) {
    auto* b = new Bunny("bunny.bmp", 9, 96, 96, 3, 3);
    b->SetPosition(x, y);
    return b;
}

// A step of (-30, -25) after 33 updates, back down; 300 pixels left a cycle.
TEST_F(BunnyTest, HopsThreeHundredPixelsACycle) {
    Bunny* b = MakeBunny(1060, 600);
    const float table[][3] = {{32, 1060, 600}, {33, 1030, 575}, {143, 730, 600}, {176, 700, 575}};
    int updates = 0;
    for (const auto& [n, x, y] : table) {
        for (; updates < n; ++updates) b->Update();
        EXPECT_EQ(b->GetPosition()->x, x) << n;
        EXPECT_EQ(b->GetPosition()->y, y) << n;
    }
}

TEST_F(BunnyTest, HitShowsTheDyingCellsThenStaysFrozenWhereItWasHit) {
    Bunny* b = MakeBunny(500, 300);
    for (int i = 0; i < 40; ++i) b->Update();  // mid-hop
    const Vector3 hitAt = *b->GetPosition();
    b->HitTest(&hitAt);
    ASSERT_TRUE(b->hit);
    std::vector<int> frames;
    for (int i = 0; i < 40; ++i, b->Update()) frames.push_back(b->frame);
    // Cells 4 ... 7 last four updates each, then 8 for good.
    const auto firstFour = std::find(frames.begin(), frames.end(), 4) - frames.begin();
    ASSERT_LE(firstFour, 4);
    for (int k = 0; k < 17; ++k) EXPECT_EQ(frames[firstFour + k], 4 + k / 4) << k;
    EXPECT_TRUE(b->dead);
    b->SetDirection(0, 3);
    for (int i = 0; i < 200; ++i) b->Update();
    b->HitTest(&hitAt);
    EXPECT_EQ(b->frame, 8);
    EXPECT_EQ(b->GetPosition()->x, hitAt.x);
    EXPECT_EQ(b->GetPosition()->y, hitAt.y);
}

}  // namespace
