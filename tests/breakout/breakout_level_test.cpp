// The level played headless, one update a frame: the paddle aims the ball by
// where they meet, a wall beside the paddle does not hand the ball back to it,
// and two scripted players clear the wall, printing the frames they needed.
// One keeps the paddle under the ball; the other, as the ball comes down,
// puts the paddle where the ball goes on to knock out a brick soonest.
#include "game/breakout_level.h"

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/entity_registry.h"
#include "entities/bitmap_text.h"
#include "game/ball.h"
#include "game/brick.h"
#include "game/paddle.h"
#include "sound/sound.h"
#include "support/engine_fixture.h"

namespace {

constexpr int kFrameLimit = 200000;
constexpr float kStep = 10.0f;  // the paddle's move per update

struct Outcome {
    bool won = false;
    int frames = 0;
    int ballsLost = 0;
    int paddleHits = 0;
    int silentHits = 0;  // paddle hits without the paddle sound
};

// The ball's road with the paddle held at `paddleX`, stepped as the ball
// moves and bounces (50-pixel discs, contact under 50 pixels between corners,
// up to 60 degrees off a paddle's edge): in how many updates from now it
// meets the paddle (0: never), and a cost: the updates until it then knocks
// out a brick, more for reaching the top wall instead, most for a lost ball.
struct Shot {
    int framesToPaddle = 0;
    int cost = kLostShot;
    static constexpr int kTopShot = 10000, kLostShot = 20000;
};
Shot Trace(const BreakoutLevel& level, float paddleX, const std::vector<Brick*>& bricks) {
    const Ball& ball = *level.ball;
    float x = ball.position->x, y = ball.position->y;
    float vx = ball.velocity->x, vy = ball.velocity->y;
    const float speed = ball.velocity->z, paddleY = level.paddle->position->y;
    auto near = [&](float bx, float by) { return std::hypot(x - bx, y - by) < 50.0f; };
    Shot shot;
    for (int k = 1; k < 400 && y <= 768.0f; ++k) {
        x += vx * speed;
        y -= vy * speed;
        if (x < 0.0f || x > 974.0f) vx = -vx;
        if (y < 0.0f)
            return {shot.framesToPaddle, shot.framesToPaddle ? Shot::kTopShot : Shot::kLostShot};
        if (!shot.framesToPaddle && near(paddleX, paddleY)) {
            const float angle =
                std::fmax(-1.0f, std::fmin(1.0f, (x - paddleX) / 25.0f)) * 1.04719755f;
            vx = std::sin(angle);
            vy = std::cos(angle);
            shot.framesToPaddle = k;
        } else if (shot.framesToPaddle) {
            for (const Brick* brick : bricks)
                if (near(brick->position->x, brick->position->y)) return {shot.framesToPaddle, k};
        }
    }
    return shot;
}

class BreakoutLevelTest : public LevelTest {
  protected:
    void SetUp() override {
        LevelTest::SetUp();
        level.Init();
    }
    void TapSpace() {
        for (bool down : {true, false}) {
            Key(DIK_SPACE, down);
            level.Update(), engine->Frame();
        }
    }

    // Plays from the first launch until the game ends (or the frame limit),
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
            Key(DIK_LEFT, at > x + kStep / 2.0f);
            Key(DIK_RIGHT, at < x - kStep / 2.0f);
            space = level.state == BreakoutLevel::State::kWaiting && !space;
            Key(DIK_SPACE, space);
            const bool armed = level.ball->paddleArmed;
            level.Update();
            engine->UpdateEntities();
            ++out.frames;
            if (armed && !level.ball->paddleArmed &&
                level.state == BreakoutLevel::State::kPlaying) {
                ++out.paddleHits;
                if (!level.paddleSound || !level.paddleSound->IsPlaying()) ++out.silentHits;
            }
            if (level.ballsLeft < balls) ++out.ballsLost;
            balls = level.ballsLeft;
        }
        out.won = level.state == BreakoutLevel::State::kWon;
        std::printf("%s in %d frames, %d paddle hits, %d balls lost\n",
                    out.won ? "wall cleared" : "wall NOT cleared", out.frames, out.paddleHits,
                    out.ballsLost);
        return out;
    }

    // Launches the ball, then sends it in at `incoming` degrees so that its
    // fourth update brings its corner to (dx, dy) from the paddle's (dy < 0:
    // above), in reach;
    // runs updates up to that paddle hit and returns how many it took.
    int SendToPaddle(float dx, float dy, float incoming) {
        if (level.state != BreakoutLevel::State::kPlaying) TapSpace();
        Ball* ball = level.ball;
        ball->SetDirection(incoming, 8.0f);
        const Vector3& v = *ball->velocity;
        ball->SetPosition(level.paddle->position->x + dx - 4.0f * 8.0f * v.x,
                          level.paddle->position->y + dy + 4.0f * 8.0f * v.y);
        for (int frame = 1; frame <= 10; ++frame) {
            const bool armed = ball->paddleArmed;
            level.Update(), engine->Frame();
            if (armed && !ball->paddleArmed) return frame;
        }
        return 0;
    }

    BreakoutLevel level;
};

TEST_F(BreakoutLevelTest, WhereTheBallMeetsThePaddleSetsItsWayUp) {
    struct Case {
        float dx, dy, incoming, degreesRightOfVertical;
    };
    // The paddle and the ball are 50 wide: dx is also the offset of the centres.
    const Case cases[] = {
        {0.0f, -45.0f, 300.0f, 0.0f},      // centre, coming down to the right
        {0.0f, -45.0f, 270.0f, 0.0f},      // centre, straight down
        {12.5f, -42.0f, 270.0f, 30.0f},    // halfway to the right edge
        {25.0f, -40.0f, 270.0f, 60.0f},    // the right edge
        {40.0f, -25.0f, 270.0f, 60.0f},    // beyond it
        {-25.0f, -40.0f, 240.0f, -60.0f},  // the left edge, coming down to the left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("offset " + std::to_string(c.dx) + ", incoming " + std::to_string(c.incoming));
        ASSERT_EQ(SendToPaddle(c.dx, c.dy, c.incoming), 4);
        const Vector3& v = *level.ball->velocity;
        EXPECT_NEAR(std::atan2(v.x, v.y) * 57.2957795f, c.degreesRightOfVertical, 0.01f);
        EXPECT_NEAR(std::hypot(v.x, v.y) * v.z, 8.0f, 1e-4f) << "the speed";
        EXPECT_TRUE(level.paddleSound && level.paddleSound->IsPlaying());
    }
}

// A ball coming down to the left meets the left half of a paddle 27 pixels
// from the wall, leaves up to the left and meets the wall while still within
// reach of the paddle: the wall alone turns it, and it goes on up to the right
// (not sent off by the paddle again).
TEST_F(BreakoutLevelTest, ABallOffTheWallBesideThePaddleGoesOnUp) {
    TapSpace();
    Key(DIK_LEFT, true);
    for (int i = 0; i < 46; ++i) level.Update(), engine->Frame();
    Key(DIK_LEFT, false);
    ASSERT_EQ(level.paddle->position->x, 27.0f);
    Ball* ball = level.ball;
    ball->SetPosition(35.0f, 551.0f);
    ball->SetDirection(250.0f, 8.0f);
    Vector3 off{0, 0, 0};  // the direction the paddle gave it
    for (int frame = 0; frame < 40; ++frame) {
        const bool armed = ball->paddleArmed;
        level.Update(), engine->Frame();
        if (armed && !ball->paddleArmed) off = *ball->velocity;
    }
    ASSERT_TRUE(off.x < -0.5f && off.y > 0.0f) << "left the paddle up to the left";
    EXPECT_TRUE(ball->velocity->x == -off.x && ball->velocity->y == off.y);
    EXPECT_TRUE(ball->position->y < 600.0f && ball->paddleArmed) << "out of reach, armed";
}

TEST_F(BreakoutLevelTest, AimingPlayerClearsTheWallThenSpaceStartsAgain) {
    // Decided once each time the ball starts down, among the places the paddle
    // reaches in time (it moves in steps of 10); under the ball while it goes up.
    float chosen = 0.0f;
    bool decided = false;
    const Outcome out = Play([&](const BreakoutLevel& l) {
        if (l.ball->velocity->y >= 0.0f || l.state != BreakoutLevel::State::kPlaying) {
            decided = false;
            return l.ball->position->x;
        }
        if (decided) return chosen;
        const std::vector<Brick*> bricks = ValuesOf<Brick>(kBrickKind);
        const float at = l.paddle->position->x;
        Shot best;
        chosen = l.ball->position->x;
        for (int i = 0; i < 195; ++i) {  // nearest first: 0, -1, 1, -2, ...
            const int k = i % 2 ? -(i + 1) / 2 : i / 2;
            const float x = std::fmax(1.0f, std::fmin(973.0f, at + kStep * static_cast<float>(k)));
            const Shot shot = Trace(l, x, bricks);
            const bool inTime =
                std::fabs(x - at) <= kStep * static_cast<float>(shot.framesToPaddle - 1);
            if (shot.framesToPaddle > 0 && inTime && shot.cost < best.cost) {
                best = shot;
                chosen = x;
            }
        }
        decided = true;
        return chosen;
    });
    // Every paddle bounce went where the player foresaw: no ball lost.
    ASSERT_TRUE(out.won && out.ballsLost == 0);
    EXPECT_EQ(out.silentHits, 0);
    EXPECT_STREQ(level.scoreText->text, "SCORE 600");
    EXPECT_STREQ(level.ballsText->text, "BALLS 3");
    EXPECT_EQ(std::string(level.messageText->text).find("YOU WIN"), 0u);
    EXPECT_EQ(engine->registry->Count(), 5) << "no brick left";
    TapSpace();
    EXPECT_EQ(engine->registry->Count(), 65) << "a full wall";
    EXPECT_STREQ(level.scoreText->text, "SCORE 0");
}

// Only prints its count, to set against the aiming player's.
TEST_F(BreakoutLevelTest, FollowingPlayer) {
    // The paddle's centre under the ball's (both are 50 pixels wide).
    Play([](const BreakoutLevel& l) { return l.ball->position->x; });
}

}  // namespace
