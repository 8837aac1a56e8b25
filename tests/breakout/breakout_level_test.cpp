// The brick game played in-process: a player who follows the ball clears the
// wall and wins; space then starts a fresh game.
#include "levels/breakout_level.h"
#include "sound/sound.h"

#include <string>

#include "breakout/breakout_fixture.h"
#include "engine/engine.h"
#include "entities/bitmap_text.h"
#include "game/ball.h"
#include "game/paddle.h"

namespace {

class BreakoutLevelTest : public BreakoutTest {
  protected:
    BreakoutLevelTest() : BreakoutTest(VELMOR_CONTENT_DIR) {}

    // One pass of the level's loop: its own update, then the engine's frame.
    void Frame() {
        level.Update();
        engine->Frame();
    }
    void Tap(int dik) {
        Key(dik, true);
        Frame();
        Key(dik, false);
        Frame();
    }
    int Bricks() {
        int n = 0;
        engine->registry->Reset();
        while (engine->registry->Find(6)) ++n;
        return n;
    }
    // Steers the paddle towards `offset` pixels left of the ball.
    void Follow(float offset) {
        const float want = level.ball->position->x - offset;
        const float at = level.paddle->position->x;
        Key(DIK_LEFT, at > want + 5.0f);
        Key(DIK_RIGHT, at < want - 5.0f);
    }

    BreakoutLevel level;
};

TEST_F(BreakoutLevelTest, FollowingTheBallClearsTheWallThenSpaceStartsAgain) {
    level.Init();
    ASSERT_EQ(level.ball->GetWidth(), 50) << "the content is the game's own";
    ASSERT_EQ(Bricks(), 60);
    EXPECT_EQ(std::string(level.messageText->text), "Press SPACE to launch the ball");
    Tap(DIK_SPACE);
    ASSERT_EQ(level.state, BreakoutLevel::State::kPlaying);

    // The player catches the ball at a different spot of the paddle after each
    // bounce, which shifts when the ball comes back and so where it flies.
    const float offsets[] = {0.0f, 30.0f, -20.0f, 40.0f, -35.0f, 10.0f, -5.0f};
    int bounce = 0, frames = 0;
    bool wasArmed = level.ball->paddleArmed;
    while (level.state == BreakoutLevel::State::kPlaying && frames < 60 * 60 * 10) {
        Follow(offsets[bounce % 7]);
        Frame();
        ++frames;
        if (wasArmed && !level.ball->paddleArmed) {
            ASSERT_TRUE(level.paddleSound && level.paddleSound->IsPlaying()) << "bonk";
            ++bounce;
        }
        wasArmed = level.ball->paddleArmed;
    }
    Key(DIK_LEFT, false);
    Key(DIK_RIGHT, false);
    ASSERT_EQ(level.state, BreakoutLevel::State::kWon) << "after " << frames << " frames";
    EXPECT_EQ(level.ballsLeft, 3) << "no ball lost";
    EXPECT_EQ(Bricks(), 0);
    EXPECT_EQ(std::string(level.scoreText->text), "SCORE 600");
    EXPECT_NE(std::string(level.messageText->text).find("YOU WIN"), std::string::npos);
    // The ball rests on the paddle until the next game.
    Frame();
    EXPECT_EQ(level.ball->velocity->z, 0.0f);
    EXPECT_EQ(level.ball->position->y, level.paddle->position->y - 50.0f);

    Tap(DIK_SPACE);
    EXPECT_EQ(level.state, BreakoutLevel::State::kWaiting);
    EXPECT_EQ(Bricks(), 60);
    EXPECT_EQ(std::string(level.scoreText->text), "SCORE 0");
    EXPECT_EQ(std::string(level.ballsText->text), "BALLS 3");
}

}  // namespace
