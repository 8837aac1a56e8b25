// The shooting gallery: its scene, the bunny spawner, the crosshair and the
// weapon event.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/platform_setup.h"
#include "platform/testing/test_hooks.h"
#include "engine/engine.h"
#include "engine/input_system.h"
#include "entities/bunny.h"
#include "entities/cursor.h"
#include "levels/show_flowers.h"
#include "levels/sprite_level.h"
#include "levels/weapon_fire.h"
#include "platform/core/clock.h"
#include "platform/core/dinput.h"
#include "platform/core/dsound.h"
#include "platform/core/platform.h"
#include "sound/sound.h"
#include "support/engine_fixture.h"
#include "support/run_process.h"

namespace {

BaseEntity* At(int i) { return static_cast<BaseEntity*>(engine->registry->NodeAt(i)->value); }

std::vector<Bunny*> Bunnies() {
    std::vector<Bunny*> out;
    for (ObjectNode* n = engine->registry->Head(); n; n = n->next)
        if (n->key == 4) out.push_back(static_cast<Bunny*>(static_cast<BaseEntity*>(n->value)));
    return out;
}

bool Whole(float v) { return v == std::floor(v); }

// A headless engine in the content folder, so the gallery's files load.
class Gallery : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        std::string error;
        ASSERT_TRUE(StartPlatform(true, platform::kDefaultClockStart, &error)) << error;
        platform::ResetInputForTest();
        char buf[4096];
        ASSERT_NE(getcwd(buf, sizeof buf), nullptr);
        savedDir_ = buf;
        ASSERT_EQ(chdir(VELMOR_CONTENT_DIR), 0) << "content missing: " << VELMOR_CONTENT_DIR;
        InitEngine();
    }
    void TearDown() override {
        ASSERT_EQ(chdir(savedDir_.c_str()), 0);
        platform::Shutdown();
        EngineTest::TearDown();
    }
    // Lets the platform take in injected input, as the loop's pump does.
    void Pump() {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    }
    void AtFrame(std::int64_t presented) { platform::SetPresentedFramesForTest(presented); }

    std::string savedDir_;
};

TEST_F(Gallery, InitBuildsBackgroundCrosshairAndFiftyFlowersInDrawingOrder) {
    SpriteLevel level;
    level.Init();
    ASSERT_EQ(engine->registry->Count(), 52);
    EXPECT_EQ(At(0), level.background);
    EXPECT_EQ(At(1), level.crosshair);
    EXPECT_EQ(At(0)->kind, 1);
    EXPECT_EQ(At(1)->kind, 1);
    EXPECT_EQ(level.background->position->x, 0.0f);
    EXPECT_EQ(level.crosshair->position->x, 512.0f);
    EXPECT_EQ(level.crosshair->position->y, 400.0f);
    EXPECT_EQ(level.background->GetWidth(), 1024);  // the content really loaded
    auto* flowers = static_cast<ShowFlowers*>(level.flowerEvent);
    EXPECT_TRUE(flowers->IsDone());
    std::vector<Vector3> first;
    for (int i = 2; i < 52; ++i) {
        ASSERT_EQ(At(i)->kind, 3);
        EXPECT_EQ(At(i), flowers->flowers[i - 2]);
        const Vector3 p = *flowers->flowers[i - 2]->position;
        EXPECT_TRUE(Whole(p.x) && Whole(p.y));
        EXPECT_GE(p.x, 0);
        EXPECT_LE(p.x, 991);
        EXPECT_GE(p.y, 526);
        EXPECT_LE(p.y, 735);
        first.push_back(p);
    }
    // The same second gives the same layout.
    ShowFlowers again;
    EXPECT_FALSE(again.IsDone());
    again.Fire();
    for (int i = 0; i < 50; ++i) {
        EXPECT_EQ(again.flowers[i]->position->x, first[i].x);
        EXPECT_EQ(again.flowers[i]->position->y, first[i].y);
    }
}

TEST_F(Gallery, BunniesComeAtFrames181And361OnTheVirtualClock) {
    SpriteLevel level;
    level.Init();
    std::vector<int> spawnFrames;
    for (int k = 1; k <= 400; ++k) {
        AtFrame(k - 1);  // the update of frame k sees k - 1 presented frames
        const auto before = Bunnies().size();
        level.Update();
        const auto after = Bunnies().size();
        ASSERT_LE(after - before, 1u) << "two bunnies in one update at frame " << k;
        if (after > before) spawnFrames.push_back(k);
    }
    EXPECT_EQ(spawnFrames, (std::vector<int>{181, 361}));
    for (Bunny* b : Bunnies()) {
        EXPECT_EQ(b->position->x, 1060.0f);
        EXPECT_TRUE(Whole(b->position->y));
        EXPECT_GE(b->position->y, 526);
        EXPECT_LE(b->position->y, 735);
        EXPECT_EQ(b->kind, 4);
    }
    EXPECT_EQ(level.lastBunny, Bunnies().back());
}

TEST_F(Gallery, SpawnerRecoversAfterAStallPastTheScheduledSecond) {
    SpriteLevel level;
    level.Init();
    AtFrame(0);
    level.Update();
    // One frame took five seconds: the scheduled second went by unseen.
    AtFrame(300);
    level.Update();
    EXPECT_EQ(Bunnies().size(), 1u);
    level.Update();
    EXPECT_EQ(Bunnies().size(), 1u);  // the next one is scheduled 3 s on
    AtFrame(480);
    level.Update();
    EXPECT_EQ(Bunnies().size(), 2u);
}

TEST_F(Gallery, CursorFollowsTheMouseAndLeavesBunniesAloneWithTheButtonUp) {
    Cursor cursor("crosshair.bmp");
    cursor.SetPosition(512, 400);
    Bunny bunny("bunny.bmp", 9, 96, 96, 3, 3);
    bunny.SetPosition(520, 400);
    platform::InjectMouseMotion(7, -3);
    Pump();
    cursor.Update();
    EXPECT_EQ(cursor.position->x, 519.0f);
    EXPECT_EQ(cursor.position->y, 397.0f);
    EXPECT_FALSE(bunny.hit);
    cursor.Update();  // no motion since the last read
    EXPECT_EQ(cursor.position->x, 519.0f);
}

TEST_F(Gallery, CursorHitsEveryBunnyInRangeButNotAtExactlyFifty) {
    Cursor cursor("crosshair.bmp");
    cursor.SetPosition(500, 500);
    Bunny near1("bunny.bmp", 9, 96, 96, 3, 3), near2("bunny.bmp", 9, 96, 96, 3, 3),
        edge("bunny.bmp", 9, 96, 96, 3, 3);
    near1.SetPosition(530, 500);
    near2.SetPosition(500, 460);
    edge.SetPosition(470, 540);  // 30-40-50
    platform::InjectMouseButton(0, true);
    Pump();
    cursor.Update();
    EXPECT_TRUE(near1.hit);
    EXPECT_TRUE(near2.hit);
    EXPECT_FALSE(edge.hit);
    EXPECT_EQ(near1.frame, 3);
}

TEST_F(Gallery, GunshotRestartsOnlyWhenTheMillisecondsPassTheRearmMark) {
    Cursor cursor("crosshair.bmp");
    ASSERT_NE(cursor.sound, nullptr);
    IDirectSoundBuffer* buffer = cursor.sound->GetBuffer(0);
    auto playPosition = [&] {
        DWORD play = 0, write = 0;
        buffer->GetCurrentPosition(&play, &write);
        return play;
    };
    platform::InjectMouseButton(0, true);
    Pump();

    AtFrame(30);  // 500 ms: not playing yet, so it just starts
    cursor.Update();
    EXPECT_TRUE(cursor.sound->IsPlaying());
    EXPECT_EQ(cursor.rearmTime->wMilliseconds, 510);
    platform::AdvanceAudio(2000);
    const DWORD advanced = playPosition();
    EXPECT_GT(advanced, 0u);

    // 995 was stored as 1005; a reading of 0 is not greater: it plays on.
    cursor.rearmTime->wMilliseconds = 1005;
    AtFrame(60);
    cursor.Update();
    EXPECT_EQ(playPosition(), advanced);
    EXPECT_EQ(cursor.rearmTime->wMilliseconds, 10);

    // 16 ms is past the mark of 10: the shot restarts from its beginning.
    AtFrame(61);
    cursor.Update();
    EXPECT_EQ(playPosition(), 0u);
    EXPECT_TRUE(cursor.sound->IsPlaying());
    EXPECT_EQ(cursor.rearmTime->wMilliseconds, 26);
}

TEST_F(Gallery, CursorWithoutItsSoundStillMovesAndShoots) {
    const std::string empty = MakeTempDir("nosound");
    ASSERT_EQ(chdir(empty.c_str()), 0);
    Cursor cursor("crosshair.bmp");
    EXPECT_EQ(cursor.sound, nullptr);
    Bunny bunny("bunny.bmp", 9, 96, 96, 3, 3);
    platform::InjectMouseMotion(10, 10);
    platform::InjectMouseButton(0, true);
    Pump();
    cursor.Update();
    EXPECT_EQ(cursor.position->x, 10.0f);
    EXPECT_TRUE(bunny.hit);
}

TEST_F(Gallery, WeaponFireHitsOnlyTheFirstBunnyInRangeEvenIfItIsDead) {
    BaseSprite decoy("flower.bmp");
    decoy.SetPosition(100, 100);
    Bunny first("bunny.bmp", 9, 96, 96, 3, 3), second("bunny.bmp", 9, 96, 96, 3, 3),
        far("bunny.bmp", 9, 96, 96, 3, 3);
    first.SetPosition(110, 100);
    second.SetPosition(100, 110);
    far.SetPosition(150, 100);  // exactly 50 away
    first.dead = true;
    first.frame = 8;
    WeaponFire::Shoot(100, 100);
    EXPECT_TRUE(first.hit);  // hit again although dead...
    EXPECT_EQ(first.frame, 3);
    EXPECT_FALSE(second.hit);  // ...and it shields the one behind it
    EXPECT_FALSE(far.hit);

    Bunny justIn("bunny.bmp", 9, 96, 96, 3, 3);
    justIn.SetPosition(1000.0f + 49.9f, 600.0f);
    WeaponFire event(1000, 600);  // built on the stack, it fires as it is made
    EXPECT_TRUE(justIn.hit);
    EXPECT_FALSE(event.IsDone());
    BaseEvent base;
    base.Fire();
    EXPECT_FALSE(base.IsDone());
}

}  // namespace
