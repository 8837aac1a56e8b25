#include "levels/breakout_level.h"

#include <string>

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
    void Frame() { level.Update(), engine->Frame(); }
    void TapSpace() {
        Key(DIK_SPACE, true);
        Frame();
        Key(DIK_SPACE, false);
        Frame();
    }
    BreakoutLevel level;
};

TEST_F(BreakoutLevelTest, FollowingTheBallClearsTheWallThenSpaceStartsAgain) {
    TapSpace();
    // The player follows the ball, catching it on a different spot after each bounce.
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
    ASSERT_EQ(level.state, BreakoutLevel::State::kWon);
    EXPECT_STREQ(level.scoreText->text, "SCORE 600");
    EXPECT_STREQ(level.ballsText->text, "BALLS 3");
    EXPECT_EQ(std::string(level.messageText->text).find("YOU WIN"), 0u);
    EXPECT_EQ(engine->registry->Count(), 5) << "no brick left";
    TapSpace();
    EXPECT_EQ(engine->registry->Count(), 65) << "a full wall";
    EXPECT_STREQ(level.scoreText->text, "SCORE 0");
}

}  // namespace
