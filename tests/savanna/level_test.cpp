// The savanna level: its scene, its count lines and its keyboard commands.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "entities/bitmap_text.h"
#include "game/giraffe.h"
#include "game/grass_node.h"
#include "game/lion.h"
#include "levels/savanna_level.h"
#include "support/engine_fixture.h"

namespace {

BaseEntity* At(int i) { return static_cast<BaseEntity*>(engine->registry->NodeAt(i)->value); }

int CountKind(int kind) {
    int n = 0;
    for (ObjectNode* node = engine->registry->Head(); node; node = node->next)
        n += node->key == kind;
    return n;
}

class Level : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        level.Init();
    }
    // One update with these keys held.
    void Hold(std::initializer_list<int> keys) {
        Keys(keys, true);
        level.Update();
        Keys(keys, false);
    }
    SavannaLevel level;
};

TEST_F(Level, InitScattersGrassAndGiraffesThenEightLines) {
    ASSERT_EQ(engine->registry->Count(), 128);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(static_cast<GrassNode*>(At(i))->GetId(), i);
    for (int i = 20; i < 120; ++i) {
        ASSERT_EQ(At(i)->kind, Giraffe::kKind);
        const Vector3* p = static_cast<Giraffe*>(At(i))->position;
        EXPECT_TRUE(p->x >= 0 && p->x <= 1023 && p->x == static_cast<int>(p->x));
        EXPECT_TRUE(p->y >= 0 && p->y <= 767 && p->y == static_cast<int>(p->y));
    }
    const char* texts[] = {"Number G",         "Number L",           "1: Add Giraffes",
                           "2: Add Lions",     "3: Delete Giraffes", "4: Delete Lions",
                           "5: Ungroup Lions", "6: Group Lions"};
    for (int i = 0; i < 8; ++i) {
        auto* line = static_cast<BitmapText*>(At(120 + i));
        EXPECT_STREQ(line->text, texts[i]);
        EXPECT_EQ(line->position->y, 10 + 20 * i);
    }
    level.Update();
    EXPECT_STREQ(level.giraffeText->text, "Giraffes 100");
    EXPECT_STREQ(level.lionText->text, "Lions 0");
}

TEST_F(Level, HeldCommandsRepeatEveryUpdateAdditionsBeforeDeletions) {
    // Three updates within one second: three batches on the same ten spots.
    for (int frame = 10; frame < 13; ++frame) {
        platform::SetPresentedFramesForTest(frame);
        Hold({DIK_1});
    }
    ASSERT_EQ(CountKind(Giraffe::kKind), 130);
    std::map<std::pair<float, float>, int> spots;
    for (int i = 128; i < 158; ++i) {
        const Vector3* p = static_cast<Giraffe*>(At(i))->position;
        ++spots[{p->x, p->y}];
    }
    EXPECT_EQ(spots.size(), 10u);
    for (const auto& [spot, n] : spots) EXPECT_EQ(n, 3);

    // Two lions in the same millisecond: same roll, same place.
    Hold({DIK_2});
    Lion* first = level.lastLion;
    Hold({DIK_2});
    ASSERT_NE(first, level.lastLion);
    EXPECT_EQ(first->bornLeader, level.lastLion->bornLeader);
    EXPECT_EQ(first->position->x, level.lastLion->position->x);
    EXPECT_EQ(first->position->y, level.lastLion->position->y);
    level.Update();
    EXPECT_STREQ(level.lionText->text, "Lions 2");

    Hold({DIK_5, DIK_6});  // ungroup runs before group
    EXPECT_TRUE(first->grouped && level.lastLion->grouped);

    // Added and deleted in one update: none left on the next.
    Hold({DIK_3, DIK_1});
    EXPECT_EQ(CountKind(Giraffe::kKind), 0);
    Hold({DIK_4});
    level.Update();
    EXPECT_STREQ(level.giraffeText->text, "Giraffes 0");
    EXPECT_STREQ(level.lionText->text, "Lions 0");
    EXPECT_EQ(CountKind(GrassNode::kKind), 20);
}

TEST_F(Level, ACountTooLongForItsLineIsCut) {
    for (int i = 100; i < 100000; ++i) new Giraffe("giraffe.bmp");
    level.Update();
    EXPECT_STREQ(level.giraffeText->text, "Giraffes 10000");  // 14 characters and the zero
}

}  // namespace
