// Two scripted players clear the wall headless, one update a frame (nothing is
// drawn): one keeps the paddle under the ball, the other places it so the ball
// leaves towards the lowest brick left. Each prints the frames it needed.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "engine/entity_registry.h"
#include "game/ball.h"
#include "game/brick.h"
#include "game/paddle.h"
#include "levels/breakout_level.h"
#include "support/engine_fixture.h"

namespace {

constexpr float kRight = 1024.0f;
constexpr int kFrameLimit = 200000;

struct Outcome {
    bool won = false;
    int frames = 0;
    int ballsLost = 0;
};

// Where the ball's left edge will be when its top reaches `y` on its way down,
// folded back off the side walls; its own x while it goes up.
float LandingX(const Ball& ball, float y) {
    const float vx = ball.velocity->x, down = -ball.velocity->y;
    if (down <= 0.0f) return ball.position->x;
    float x = ball.position->x + vx * (y - ball.position->y) / down;
    const float span = kRight - static_cast<float>(ball.width);
    x = std::fmod(std::fabs(x), 2.0f * span);
    return x > span ? 2.0f * span - x : x;
}

class BreakoutBotTest : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        level.Init();
    }

    // Plays from the first launch until the wall is down (or the frame limit),
    // moving the paddle towards `want(level)` (its left edge) every frame and
    // launching every ball that waits.
    template <typename Want>
    Outcome Play(Want want) {
        Outcome out;
        int balls = level.ballsLeft;
        bool space = false;
        while (out.frames < kFrameLimit && level.state != BreakoutLevel::State::kWon &&
               level.state != BreakoutLevel::State::kLost) {
            const float x = want(level), at = level.paddle->position->x;
            Key(DIK_LEFT, at > x + 5.0f);
            Key(DIK_RIGHT, at < x - 5.0f);
            space = level.state == BreakoutLevel::State::kWaiting && !space;
            Key(DIK_SPACE, space);
            level.Update();
            engine->UpdateEntities();
            ++out.frames;
            if (level.ballsLeft < balls) ++out.ballsLost;
            balls = level.ballsLeft;
        }
        out.won = level.state == BreakoutLevel::State::kWon;
        return out;
    }

    static void Print(const char* who, const Outcome& out) {
        std::printf("%s: %s in %d frames, %d balls lost\n", who,
                    out.won ? "wall cleared" : "wall NOT cleared", out.frames, out.ballsLost);
    }

    BreakoutLevel level;
};

TEST_F(BreakoutBotTest, FollowingTheBall) {
    // The paddle's centre under the ball's (both are 50 pixels wide).
    const Outcome out = Play([](const BreakoutLevel& l) { return l.ball->position->x; });
    Print("following the ball", out);
    EXPECT_TRUE(out.won);
}

TEST_F(BreakoutBotTest, AimingAtTheLowestBrick) {
    const Outcome out = Play([](const BreakoutLevel& l) {
        const Ball& ball = *l.ball;
        const float halfBall = static_cast<float>(ball.width) / 2.0f;
        const float halfPaddle = static_cast<float>(l.paddle->width) / 2.0f;
        // The ball meets the paddle a little above touching it straight on.
        const float meetY = l.paddle->position->y - static_cast<float>(ball.height) + 5.0f;
        const float ballCentre = LandingX(ball, meetY) + halfBall;
        const Brick* target = nullptr;
        for (Brick* brick : ValuesOf<Brick>(kBrickKind))
            if (!target || brick->position->y > target->position->y ||
                (brick->position->y == target->position->y &&
                 std::fabs(brick->position->x - ballCentre) <
                     std::fabs(target->position->x - ballCentre)))
                target = brick;
        float offset = 0.0f;
        if (target) {
            // The paddle sends the ball off at up to 60 degrees from vertical,
            // in proportion to the offset of the centres over half the paddle.
            const float dx = target->position->x + halfBall - ballCentre;
            const float dy = meetY - target->position->y;
            const float degrees = std::atan2(dx, dy) * 57.29578f;
            offset = std::clamp(degrees / 60.0f, -1.0f, 1.0f) * halfPaddle;
        }
        return ballCentre - offset - halfPaddle;
    });
    Print("aiming at the lowest brick", out);
    EXPECT_TRUE(out.won);
}

}  // namespace
