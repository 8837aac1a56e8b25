// The brick game played in-process by a player who follows the ball.
#include "levels/breakout_level.h"

#include <string>

#include "engine/engine.h"
#include "entities/bitmap_text.h"
#include "game/ball.h"
#include "game/paddle.h"
#include "sound/sound.h"
#include "support/engine_fixture.h"

namespace {

class BreakoutLevelTest : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        level.Init();
    }
    // One pass of the level's loop: its own update, then the engine's frame.
    void Frame() {
        level.Update();
        engine->Frame();
    }
    void TapSpace() {
        Key(DIK_SPACE, true);
        Frame();
        Key(DIK_SPACE, false);
        Frame();
    }
    std::string Line(BitmapText* text) { return text->text; }

    BreakoutLevel level;
};

TEST_F(BreakoutLevelTest, FollowingTheBallClearsTheWallThenSpaceStartsAgain) {
    ASSERT_EQ(level.ball->GetWidth(), 50) << "the content is the game's own";
    TapSpace();
    ASSERT_EQ(level.state, BreakoutLevel::State::kPlaying);
    // The player catches the ball on a different spot of the paddle after
    // each bounce, which shifts when it comes back and so where it flies.
    const float offsets[] = {0.0f, 30.0f, -20.0f, 40.0f, -35.0f, 10.0f, -5.0f};
    int bounces = 0;
    for (int frame = 0; frame < 36000 && level.state == BreakoutLevel::State::kPlaying; ++frame) {
        const float want = level.ball->position->x - offsets[bounces % 7];
        Key(DIK_LEFT, level.paddle->position->x > want + 5.0f);
        Key(DIK_RIGHT, level.paddle->position->x < want - 5.0f);
        const bool armed = level.ball->paddleArmed;
        Frame();
        if (armed && !level.ball->paddleArmed) {
            ++bounces;
            ASSERT_TRUE(level.paddleSound && level.paddleSound->IsPlaying());
        }
    }
    Key(DIK_LEFT, false);
    Key(DIK_RIGHT, false);
    ASSERT_EQ(level.state, BreakoutLevel::State::kWon);
    EXPECT_EQ(Line(level.scoreText), "SCORE 600");
    EXPECT_EQ(Line(level.ballsText), "BALLS 3");
    EXPECT_EQ(Line(level.messageText).find("YOU WIN"), 0u);
    EXPECT_EQ(engine->registry->Count(), 5) << "no brick left";

    TapSpace();
    EXPECT_EQ(engine->registry->Count(), 65) << "a full wall";
    EXPECT_EQ(Line(level.scoreText), "SCORE 0");
    EXPECT_EQ(Line(level.messageText), "Press SPACE to launch the ball");
}

}  // namespace
