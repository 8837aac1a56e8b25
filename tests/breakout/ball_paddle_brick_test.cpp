// The ball, the paddle and the bricks on their own: movement, wall bounces,
// paddle and brick bounces by the distance between top-left corners, the
// paddle's keys and limits.
#include <cmath>

#include "breakout/breakout_fixture.h"
#include "engine/engine.h"
#include "game/ball.h"
#include "game/brick.h"
#include "game/paddle.h"
#include "support/bmp_writer.h"

namespace {

class BallTest : public BreakoutTest {
  protected:
    void SetUp() override {
        BreakoutTest::SetUp();
        ASSERT_TRUE(testbmp::WriteSolid("ball16.bmp", 16, 16, 0xFFFFFFFF));
        ASSERT_TRUE(testbmp::WriteSolid("paddle100.bmp", 100, 16, 0xFFFFFFFF));
        ASSERT_TRUE(testbmp::WriteSolid("brick.bmp", 64, 24, 0xFFFFFFFF));
    }
    // One update of the ball alone, as the engine's walk makes it.
    static void Step(Ball* ball) {
        engine->registry->Reset();
        ball->Update();
    }
};

TEST_F(BallTest, MovesByItsDirectionAndSpeedOnly) {
    Ball ball("ball16.bmp");
    EXPECT_EQ(ball.kind, 1);
    EXPECT_EQ(ball.GetWidth(), 16);
    Step(&ball);
    EXPECT_EQ(ball.position->x, 512.0f);
    EXPECT_EQ(ball.position->y, 600.0f);
    ball.SetDirection(45.0f, 10.0f);
    Step(&ball);
    EXPECT_NEAR(ball.position->x, 512.0f + 7.0711f, 1e-3);
    EXPECT_NEAR(ball.position->y, 600.0f - 7.0711f, 1e-3);
}

TEST_F(BallTest, WallsReflectAndArmWithTheFixedRightEdge) {
    Ball ball("ball16.bmp");
    ball.SetDirection(180.0f, 3.0f);  // left
    ball.SetPosition(0.0f, 300.0f);
    ball.paddleArmed = false;
    Step(&ball);  // reaches x = -3
    EXPECT_NEAR(ball.position->x, -3.0f, 1e-5);
    EXPECT_GT(ball.velocity->x, 0.0f);
    EXPECT_TRUE(ball.paddleArmed);

    // Right edge: 1024 - 16, whatever the window's width.
    engine->width = 640;
    ball.SetDirection(0.0f, 0.0f);
    ball.SetPosition(1008.0f, 300.0f);
    Step(&ball);
    EXPECT_EQ(ball.velocity->x, 1.0f);
    ball.SetPosition(1008.5f, 300.0f);
    Step(&ball);
    EXPECT_EQ(ball.velocity->x, -1.0f);

    // Top: the vertical direction turns; a ball still above is turned again.
    ball.SetDirection(90.0f, 0.0f);
    ball.SetPosition(100.0f, -1.0f);
    Step(&ball);
    EXPECT_LT(ball.velocity->y, 0.0f);
    Step(&ball);
    EXPECT_GT(ball.velocity->y, 0.0f);
}

TEST_F(BallTest, PaddleBouncesOnlyAnArmedBallUnderFiftyPixels) {
    Paddle* paddle = new Paddle("paddle100.bmp");
    Ball ball("ball16.bmp");
    ball.SetDirection(270.0f, 0.0f);  // down, standing still
    ball.SetPosition(paddle->position->x, paddle->position->y - 49.0f);
    ball.paddleArmed = false;
    Step(&ball);
    EXPECT_LT(ball.velocity->y, 0.0f) << "disarmed: passes";
    // A wall bounce arms it again; then the same place bounces it, once.
    ball.SetPosition(-1.0f, 100.0f);
    Step(&ball);
    ASSERT_TRUE(ball.paddleArmed);
    ball.SetPosition(paddle->position->x, paddle->position->y - 49.0f);
    Step(&ball);
    EXPECT_GT(ball.velocity->y, 0.0f);
    EXPECT_FALSE(ball.paddleArmed);
    Step(&ball);
    EXPECT_GT(ball.velocity->y, 0.0f);
    // Exactly 50 pixels is out of reach.
    ball.paddleArmed = true;
    ball.SetPosition(paddle->position->x + 30.0f, paddle->position->y - 40.0f);
    Step(&ball);
    EXPECT_TRUE(ball.paddleArmed);
}

TEST_F(BallTest, OneBrickPerUpdateTheFirstRegistered) {
    Brick* first = new Brick("brick.bmp");
    Brick* second = new Brick("brick.bmp");
    EXPECT_EQ(first->kind, 6);
    first->SetPosition(200.0f, 100.0f);
    second->SetPosition(210.0f, 100.0f);
    Ball ball("ball16.bmp");
    ball.SetDirection(90.0f, 0.0f);
    ball.SetPosition(205.0f, 130.0f);
    ball.paddleArmed = false;
    const int before = engine->registry->Count();
    Step(&ball);
    EXPECT_EQ(engine->registry->Count(), before - 1);
    EXPECT_TRUE(ball.paddleArmed);
    EXPECT_LT(ball.velocity->y, 0.0f) << "turned once, not twice";
    engine->registry->Reset();
    EXPECT_EQ(engine->registry->Find(6), second);
    Step(&ball);  // the second goes in the next update
    engine->registry->Reset();
    EXPECT_EQ(engine->registry->Find(6), nullptr);
    EXPECT_GT(ball.velocity->y, 0.0f);
}

TEST_F(BallTest, PaddleMovesWithTheArrowsInsideItsLimits) {
    Paddle paddle("paddle100.bmp");
    EXPECT_EQ(paddle.kind, 5);
    EXPECT_EQ(paddle.position->x, 512.0f);
    EXPECT_EQ(paddle.position->y, 700.0f);
    paddle.SetPosition(920.0f, 700.0f);
    Key(DIK_RIGHT, true);
    paddle.Update();
    EXPECT_EQ(paddle.position->x, 923.0f);
    Key(DIK_RIGHT, false);
    paddle.SetPosition(5.0f, 700.0f);
    Key(DIK_LEFT, true);
    paddle.Update();
    EXPECT_EQ(paddle.position->x, 1.0f);
    Key(DIK_RIGHT, true);  // both: stays
    paddle.Update();
    EXPECT_EQ(paddle.position->x, 1.0f);
    Key(DIK_LEFT, false);
    Key(DIK_RIGHT, false);
    paddle.SetPosition(0.0f, 700.0f);
    paddle.Update();
    EXPECT_EQ(paddle.position->x, 1.0f);
    EXPECT_EQ(paddle.position->y, 700.0f);
}

// Bounces off walls are counted instead of made: the ball flies on.
class GhostBall : public Ball {
  public:
    using Ball::Ball;
    void BounceX() override { ++bounces; }
    void BounceY() override { ++bounces; }
    int bounces = 0;
};

TEST_F(BallTest, DerivedBallDecidesHowItBounces) {
    GhostBall ball("ball16.bmp");
    ball.SetDirection(135.0f, 2.0f);  // up and left
    ball.SetPosition(1.0f, 1.0f);
    Step(&ball);
    EXPECT_EQ(ball.bounces, 2);
    EXPECT_LT(ball.velocity->x, 0.0f);
    EXPECT_GT(ball.velocity->y, 0.0f);
}

}  // namespace
