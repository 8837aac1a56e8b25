#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "game/giraffe.h"
#include "game/grass_node.h"
#include "game/lion.h"
#include "support/engine_fixture.h"

namespace {

GrassNode* Patch(int id, float x, float y) {
    auto* g = new GrassNode("grass.bmp");
    g->SetId(id);
    g->SetPosition(x, y);
    return g;
}

// A giraffe at (x, y) about to aim at patch `target`.
Giraffe* Aiming(int target, float x = 500, float y = 500) {
    auto* g = new Giraffe("giraffe.bmp");
    g->SetPosition(x, y);
    g->targetGrass = target;
    g->aimCounter = 50;
    return g;
}

using Animals = LevelTest;

// Whole degrees; a patch on the giraffe's own spot keeps the heading (33) and counts as reached.
TEST_F(Animals, GiraffeAimsFromCornerToCornerInWholeDegrees) {
    Patch(1, 0, 0);  // never aimed at
    const int rows[][3] = {
        {600, 500, 0}, {400, 500, -180}, {500, 400, 90}, {400, 600, 225}, {500, 500, 33}};
    for (auto [x, y, heading] : rows) {
        GrassNode* patch = Patch(0, x, y);
        Giraffe* g = Aiming(0);
        g->heading = 33;
        g->Update();
        EXPECT_EQ(g->heading, heading) << x << "," << y;
        EXPECT_EQ(g->atGrass, heading == 33);
        engine->registry->Remove(static_cast<BaseEntity*>(patch));
        engine->registry->Remove(static_cast<BaseEntity*>(g));
    }
}

// Arrival is strictly within 25; then another patch is chosen, aimed at and counted.
TEST_F(Animals, GiraffeArrivesStrictlyWithin25AndThenPicksAnotherPatch) {
    Patch(0, 115, 120);  // exactly 25 from (100, 100)
    Patch(1, 800, 100);
    Patch(2, 100, 700);
    Giraffe* g = Aiming(0, 100, 100);
    for (float y : {100.0f, 100.1f}) {
        g->SetPosition(100, y);
        g->Update();
        EXPECT_EQ(g->atGrass, y > 100);
    }
    for (int i = 0; i < 300; ++i) {
        g->targetGrass = i % 3, g->atGrass = true;
        g->Update();
        ASSERT_TRUE(g->targetGrass != i % 3 && g->targetGrass >= 0 && g->targetGrass < 3) << i;
        ASSERT_EQ(g->aimCounter, 1);
    }
}

// A missing target, one patch already reached, or none: no division by zero, no endless loop.
TEST_F(Animals, GiraffeWithAMissingTargetOrTooFewPatchesKeepsItsHeading) {
    Giraffe* lost = Aiming(7);  // no patch carries id 7
    Patch(0, 300, 300);
    Giraffe* one = Aiming(0, 300, 300);
    one->atGrass = true;
    for (Giraffe* g : {lost, one}) g->heading = 45;
    for (int i = 0; i < 60; ++i) lost->Update(), one->Update();
    EXPECT_TRUE(lost->heading == 45 && !lost->atGrass);
    EXPECT_TRUE(one->targetGrass == 0 && one->heading == 45);
    engine->registry->RemoveAll(kGrassKind);
    Giraffe* none = new Giraffe("giraffe.bmp");
    none->Update();
    EXPECT_EQ(none->targetGrass, -1);
}

// It runs on to where its removed target was, removes nothing, then stands still.
TEST_F(Animals, LionRunsOnToARemovedTargetThenStandsStill) {
    auto* prey = new Giraffe("giraffe.bmp");
    prey->SetPosition(300, 100);
    Lion& hunter = *new Lion("lion.bmp", false);
    hunter.SetPosition(100, 100);
    hunter.Update();
    ASSERT_EQ(hunter.target, prey);
    engine->registry->RemoveAll(kGiraffeKind);
    const int count = engine->registry->Count();
    for (int i = 0; i < 2000 && !hunter.reachedTarget; ++i) hunter.Update();
    EXPECT_TRUE(hunter.reachedTarget && engine->registry->Count() == count);
    EXPECT_LT(std::abs(hunter.position->x - 300), 10);  // caught within 10 of the spot
    const Vector3 at = *hunter.position;
    hunter.Update();
    EXPECT_TRUE(hunter.position->x == at.x && hunter.position->y == at.y);
}

TEST_F(Animals, BornLeaderGathersAPrideAndUngroupingClearsIt) {
    auto* leader = new Lion("lion.bmp", true);
    leader->SetPosition(200, 200);
    std::vector<Lion*> pride;
    for (int i = 0; i < 5; ++i) {
        pride.push_back(new Lion("lion.bmp", false));
        pride.back()->SetPosition(200 + 10.0f * (i % 4),
                                  i < 4 ? 230 : 250);  // 50 away: not recruited
    }
    leader->Update();
    EXPECT_TRUE(leader->prideSize == 5 && leader->prideFull && leader->leader == nullptr);
    for (Lion* l : pride) EXPECT_EQ(l->leader, l == pride[4] ? nullptr : leader);
    leader->SetGrouped(true);
    leader->SetGrouped(false);
    EXPECT_TRUE(leader->prideSize == 0 && leader->bornLeader);
    EXPECT_FALSE(leader->isLeader || leader->prideFull || leader->grouped);
}

}  // namespace
