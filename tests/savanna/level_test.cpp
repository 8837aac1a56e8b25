#include <gtest/gtest.h>

#include <map>

#include "entities/bitmap_text.h"
#include "game/giraffe.h"
#include "game/grass_node.h"
#include "game/lion.h"
#include "game/savanna_level.h"
#include "support/engine_fixture.h"

namespace {

BaseSprite* At(int i) { return EntityOf<BaseSprite>(engine->registry->NodeAt(i)->value); }

class Level : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        level.Init();
    }
    void Hold(std::initializer_list<int> keys) {
        for (int k : keys) Key(k, true);
        level.Update();
        for (int k : keys) Key(k, false);
    }
    SavannaLevel level;
};

TEST_F(Level, HeldCommandsRepeatEveryUpdateAdditionsBeforeDeletions) {
    ASSERT_EQ(engine->registry->Count(), 128);  // grass, giraffes, eight lines
    // Three updates within one second: three batches on the same ten spots.
    for (int frame = 10; frame < 13; ++frame) {
        platform::SetPresentedFramesForTest(frame);
        Hold({DIK_1});
    }
    ASSERT_EQ(ValuesOf<Giraffe>(kGiraffeKind).size(), 130u);
    std::map<std::pair<float, float>, int> spots;
    for (int i = 128; i < 158; ++i) ++spots[{At(i)->position->x, At(i)->position->y}];
    EXPECT_EQ(spots.size(), 10u);
    for (const auto& [spot, n] : spots) EXPECT_EQ(n, 3);

    // Two lions in the same millisecond: same roll, same place.
    Hold({DIK_2});
    Lion* first = level.lastLion;
    Hold({DIK_2});
    EXPECT_TRUE(first != level.lastLion && first->bornLeader == level.lastLion->bornLeader &&
                first->position->x == level.lastLion->position->x &&
                first->position->y == level.lastLion->position->y);

    Hold({DIK_5, DIK_6});  // ungroup runs before group
    EXPECT_TRUE(first->grouped && level.lastLion->grouped);

    // Added and deleted in one update: none left on the next.
    Hold({DIK_3, DIK_1});
    EXPECT_EQ(ValuesOf<Giraffe>(kGiraffeKind).size(), 0u);
    Hold({DIK_4});
    EXPECT_TRUE(ValuesOf<Lion>(kLionKind).empty() && ValuesOf<GrassNode>(kGrassKind).size() == 20);
}

TEST_F(Level, ACountTooLongForItsLineIsCut) {
    for (int i = 100; i < 100000; ++i) new Giraffe("giraffe.bmp");
    level.Update();
    EXPECT_STREQ(level.giraffeText->text, "Giraffes 10000");  // 14 characters and the zero
}

// Animals taken out of play are freed between frames, except what a lion in
// play still reads (under AddressSanitizer a read of a freed one fails).
TEST_F(Level, SpentAnimalsAreFreedOnceNoLionNamesThem) {
    auto* lion = new Lion("lion.bmp", false);
    level.Update();
    engine->Frame();
    Giraffe* prey = lion->target;
    ASSERT_NE(prey, nullptr);
    Hold({DIK_3});
    level.Update();  // all but the prey and the last one made
    EXPECT_EQ(level.reclaimed, prey == level.lastGiraffe ? 99 : 98);
    engine->Frame();  // the lion still runs at its prey
    engine->registry->Remove(static_cast<BaseEntity*>(lion));
    level.Update();
    EXPECT_EQ(level.reclaimed, 100);
}

}  // namespace
