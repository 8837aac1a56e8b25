// Giraffes heading for grass and lions hunting them.
#include <gtest/gtest.h>

#include <vector>

#include "base/random.h"
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

TEST_F(Animals, GiraffeAimsFromCornerToCornerInWholeDegrees) {
    struct Case {
        float x, y;
        int heading;
    };
    Patch(1, 0, 0);  // a second patch, never aimed at
    for (const Case c :
         {Case{600, 500, 0}, {400, 500, -180}, {500, 400, 90}, {500, 600, -90}, {400, 600, 225}}) {
        GrassNode* patch = Patch(0, c.x, c.y);
        Giraffe* g = Aiming(0);
        g->Update();
        EXPECT_EQ(g->heading, c.heading) << c.x << "," << c.y;
        EXPECT_EQ(g->aimCounter, 1);
        engine->registry->Remove(static_cast<BaseEntity*>(patch));
        engine->registry->Remove(static_cast<BaseEntity*>(g));
    }
    // A patch on the giraffe's own corner gives no direction: the heading
    // stays, and the arrival counts.
    Patch(0, 500, 500);
    Giraffe* g = Aiming(0);
    g->heading = 33;
    g->Update();
    EXPECT_EQ(g->heading, 33);
    EXPECT_TRUE(g->atGrass);
}

TEST_F(Animals, GiraffeArrivesStrictlyWithin25AndThenPicksAnotherPatch) {
    Patch(0, 115, 120);  // exactly 25 from (100, 100)
    Patch(1, 800, 100);
    Patch(2, 100, 700);
    Giraffe* g = Aiming(0, 100, 100);
    g->Update();
    EXPECT_FALSE(g->atGrass);
    g->SetPosition(100, 100.1f);
    g->Update();
    EXPECT_TRUE(g->atGrass);
    Srand(7);
    for (int i = 0; i < 300; ++i) {
        g->targetGrass = i % 3;
        g->atGrass = true;
        g->Update();
        ASSERT_NE(g->targetGrass, i % 3);
        ASSERT_TRUE(g->targetGrass >= 0 && g->targetGrass < 3);
        ASSERT_EQ(g->aimCounter, 1);  // chose, aimed at once, counted
    }
}

TEST_F(Animals, GiraffeWithAMissingTargetOrTooFewPatchesKeepsItsHeading) {
    Patch(0, 600, 500);
    Patch(1, 400, 500);
    Giraffe* lost = Aiming(7);  // no patch carries id 7
    for (int i = 0; i < 60; ++i) lost->Update();
    EXPECT_EQ(lost->heading, 180);
    EXPECT_FALSE(lost->atGrass);
    engine->registry->RemoveAll(GrassNode::kKind);
    // No patch, then one patch already reached: choosing another would
    // divide by zero or never end.
    Giraffe* none = new Giraffe("giraffe.bmp");
    none->Update();
    EXPECT_EQ(none->targetGrass, -1);
    Patch(0, 300, 300);
    Giraffe* one = Aiming(0, 300, 300);
    one->atGrass = true;
    one->heading = 45;
    for (int i = 0; i < 60; ++i) one->Update();
    EXPECT_EQ(one->targetGrass, 0);
    EXPECT_EQ(one->heading, 45);
}

TEST_F(Animals, LeaderRollOf26215Leads) {
    EXPECT_EQ(Lion::LeaderRoll(26215), 81);
    EXPECT_EQ(Lion::LeaderRoll(26214), 80);
    EXPECT_EQ(Lion::LeaderRoll(0), 1);
    EXPECT_EQ(Lion::LeaderRoll(32767), 100);
}

TEST_F(Animals, LionCatchesStrictlyWithin10) {
    auto* far = new Giraffe("giraffe.bmp");
    far->SetPosition(110, 100);
    auto* near = new Giraffe("giraffe.bmp");
    near->SetPosition(109.9f, 100);
    for (Giraffe* g : {far, near}) {
        auto* lion = new Lion("lion.bmp", false);
        lion->SetPosition(100, 100);
        lion->target = g;
        lion->Update();
        EXPECT_EQ(lion->reachedTarget, g == near);
        EXPECT_EQ(Registered(g), g == far);
    }
}

TEST_F(Animals, LionWithoutGiraffesStandsStillAndRunsOnToARemovedTarget) {
    auto* idle = new Lion("lion.bmp", false);
    idle->SetPosition(50, 60);
    idle->Update();
    EXPECT_EQ(idle->position->x, 50);
    EXPECT_EQ(idle->position->y, 60);

    auto* prey = new Giraffe("giraffe.bmp");
    prey->SetPosition(300, 100);
    Lion& hunter = *new Lion("lion.bmp", false);
    hunter.SetPosition(100, 100);
    hunter.Update();
    ASSERT_EQ(hunter.target, prey);
    engine->registry->RemoveAll(Giraffe::kKind);
    const int count = engine->registry->Count();
    for (int i = 0; i < 2000 && !hunter.reachedTarget; ++i) hunter.Update();
    EXPECT_TRUE(hunter.reachedTarget);
    EXPECT_EQ(engine->registry->Count(), count);  // the removal found nothing
    const Vector3 at = *hunter.position;
    hunter.Update();  // nothing left to hunt
    EXPECT_EQ(hunter.position->x, at.x);
    EXPECT_EQ(hunter.position->y, at.y);
}

TEST_F(Animals, BornLeaderGathersAPrideAndUngroupingClearsIt) {
    auto* leader = new Lion("lion.bmp", true);
    leader->SetPosition(200, 200);
    std::vector<Lion*> pride;
    for (int i = 0; i < 4; ++i) {
        pride.push_back(new Lion("lion.bmp", false));
        pride.back()->SetPosition(200 + 10.0f * i, 230);
    }
    auto* stray = new Lion("lion.bmp", false);
    stray->SetPosition(200, 250);  // exactly 50 away: not recruited
    leader->Update();
    EXPECT_EQ(leader->prideSize, 5);
    EXPECT_TRUE(leader->prideFull);
    for (Lion* l : pride) EXPECT_EQ(l->leader, leader);
    EXPECT_EQ(stray->leader, nullptr);
    EXPECT_EQ(leader->leader, nullptr);  // a leader is never recruited

    IDirect3DTexture9* image = leader->texture;
    leader->SetGrouped(true);
    leader->SetGrouped(false);
    EXPECT_EQ(leader->prideSize, 0);
    EXPECT_FALSE(leader->isLeader || leader->prideFull || leader->grouped);
    EXPECT_TRUE(leader->bornLeader);
    EXPECT_EQ(leader->texture, image);  // keeps its look
    EXPECT_NE(image, pride[0]->texture);
}

}  // namespace
