// The shooting gallery: flowers, the bunny spawner, the crosshair, the weapon event.
#include <gtest/gtest.h>

#include <cmath>

#include "entities/bunny.h"
#include "entities/cursor.h"
#include "game/show_flowers.h"
#include "game/sprite_level.h"
#include "game/weapon_fire.h"
#include "platform/core/dsound.h"
#include "sound/sound.h"
#include "support/engine_fixture.h"

namespace {

bool Whole(float v) { return v == std::floor(v); }

using Gallery = LevelTest;

TEST_F(Gallery, FlowersStandOnTheMeadowAndTheSameSecondGivesTheSameLayout) {
    SpriteLevel level;
    level.Init();
    ASSERT_EQ(engine->registry->Count(), 52);
    auto* flowers = static_cast<ShowFlowers*>(level.flowerEvent);
    EXPECT_TRUE(flowers->IsDone());
    ShowFlowers again;
    EXPECT_FALSE(again.IsDone());
    again.Fire();
    for (int i = 0; i < 50; ++i) {
        const Vector3 p = *flowers->flowers[i]->position;
        EXPECT_TRUE(Whole(p.x) && Whole(p.y));
        EXPECT_TRUE(p.x >= 0 && p.x <= 991 && p.y >= 526 && p.y <= 735) << p.x << "," << p.y;
        EXPECT_TRUE(again.flowers[i]->position->x == p.x && again.flowers[i]->position->y == p.y);
    }
}

TEST_F(Gallery, SpawnerRecoversAfterAStallPastTheScheduledSecond) {
    SpriteLevel level;
    level.Init();
    AtFrame(1);
    level.Update();
    // One frame took five seconds: the scheduled second went by unseen.
    AtFrame(301);
    level.Update();
    level.Update();
    EXPECT_EQ(ValuesOf<Bunny>(kBunnyKind).size(), 1u);  // one, and the next one is scheduled 3 s on
    AtFrame(481);
    level.Update();
    EXPECT_EQ(ValuesOf<Bunny>(kBunnyKind).size(), 2u);
}

// A live bunny wholly past the left edge leaves play and is freed; one
// partly on screen, a hit one and the newest stay.
TEST_F(Gallery, BunniesOutOfSightAreFreed) {
    SpriteLevel level;
    level.Init();
    auto bunny = [](float x) {
        auto* b = new Bunny("bunny.bmp", 9, 96, 96, 3, 3);
        b->SetPosition(x, 600);
        return b;
    };
    bunny(-96.0f);
    Bunny* edge = bunny(-95.5f);
    Bunny* shot = bunny(-500.0f);
    shot->Hit();
    level.lastBunny = bunny(-300.0f);
    level.Update();
    EXPECT_EQ(level.reclaimed, 1);
    auto in = [](Bunny* b) { return Registered(static_cast<BaseEntity*>(b)); };
    EXPECT_TRUE(in(edge) && in(shot) && !in(level.lastBunny));
    engine->Frame();
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
    EXPECT_TRUE(near1.hit && near2.hit && !edge.hit);
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

    AtFrame(31);  // 500 ms: not playing yet, so it just starts
    cursor.Update();
    EXPECT_TRUE(cursor.sound->IsPlaying());
    EXPECT_EQ(cursor.rearmTime->wMilliseconds, 510);
    platform::AdvanceAudio(2000);
    const DWORD advanced = playPosition();
    EXPECT_GT(advanced, 0u);

    // 995 was stored as 1005; a reading of 0 is not greater: it plays on.
    cursor.rearmTime->wMilliseconds = 1005;
    AtFrame(61);
    cursor.Update();
    EXPECT_EQ(playPosition(), advanced);
    EXPECT_EQ(cursor.rearmTime->wMilliseconds, 10);

    // 16 ms is past the mark of 10: the shot restarts from its beginning.
    AtFrame(62);
    cursor.Update();
    EXPECT_EQ(playPosition(), 0u);
    EXPECT_TRUE(cursor.sound->IsPlaying());
    EXPECT_EQ(cursor.rearmTime->wMilliseconds, 26);
}

TEST_F(Gallery, CursorWithoutItsSoundStillMovesAndShoots) {
    WorkIn empty;
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
    EXPECT_TRUE(first.hit && first.frame == 3);  // hit again although dead...
    EXPECT_FALSE(second.hit || far.hit);         // ...and it shields the one behind it

    Bunny justIn("bunny.bmp", 9, 96, 96, 3, 3);
    justIn.SetPosition(1000.0f + 49.9f, 600.0f);
    WeaponFire event(1000, 600);  // built on the stack, it fires as it is made
    EXPECT_TRUE(justIn.hit && !event.IsDone());
}

}  // namespace
