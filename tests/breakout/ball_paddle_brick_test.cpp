// The ball, the paddle and the bricks on their own.
#include "engine/engine.h"
#include "game/ball.h"
#include "game/brick.h"
#include "game/paddle.h"
#include "support/bmp_writer.h"
#include "support/engine_fixture.h"

namespace {

class BallTest : public RunningEngineTest {
  protected:
    void SetUp() override {
        RunningEngineTest::SetUp();
        ASSERT_TRUE(testbmp::WriteSolid("ball.bmp", 16, 16, 0xFFFFFFFF));
        ASSERT_TRUE(testbmp::WriteSolid("paddle.bmp", 100, 16, 0xFFFFFFFF));
        ASSERT_TRUE(testbmp::WriteSolid("brick.bmp", 64, 24, 0xFFFFFFFF));
    }
    // One update of the ball, with the registry's cursor at its head as in
    // the engine's walk.
    static void Step(Ball* ball, float x, float y) {
        ball->SetPosition(x, y);
        engine->registry->Reset();
        ball->Update();
    }
};

TEST_F(BallTest, BouncesOffTheWallsWithTheFixedRightEdge) {
    Ball ball("ball.bmp");
    ball.SetDirection(180.0f, 3.0f);
    ball.paddleArmed = false;
    Step(&ball, 0.0f, 300.0f);  // reaches x = -3
    EXPECT_GT(ball.velocity->x, 0.0f);
    EXPECT_TRUE(ball.paddleArmed);

    engine->width = 640;  // the right edge is 1024 - 16 whatever the window
    ball.SetDirection(0.0f, 0.0f);
    Step(&ball, 1008.0f, 300.0f);
    EXPECT_EQ(ball.velocity->x, 1.0f);
    Step(&ball, 1008.5f, 300.0f);
    EXPECT_EQ(ball.velocity->x, -1.0f);
}

TEST_F(BallTest, PaddleBouncesOnlyAnArmedBallUnderFiftyPixels) {
    new Paddle("paddle.bmp");
    Ball ball("ball.bmp");
    ball.SetDirection(270.0f, 0.0f);
    ball.paddleArmed = false;
    Step(&ball, 512.0f, 651.0f);  // 49 pixels above
    EXPECT_LT(ball.velocity->y, 0.0f) << "disarmed: passes";
    Step(&ball, 100.0f, -1.0f);  // the top wall arms it (and turns it up)
    ball.velocity->y = -1.0f;
    Step(&ball, 512.0f, 651.0f);
    EXPECT_GT(ball.velocity->y, 0.0f);
    EXPECT_FALSE(ball.paddleArmed);
    ball.paddleArmed = true;
    Step(&ball, 542.0f, 660.0f);  // exactly 50 pixels: out of reach
    EXPECT_TRUE(ball.paddleArmed);
}

TEST_F(BallTest, OneBrickPerUpdateTheFirstRegistered) {
    Brick* first = new Brick("brick.bmp");
    Brick* second = new Brick("brick.bmp");
    first->SetPosition(200.0f, 100.0f);
    second->SetPosition(210.0f, 100.0f);
    Ball ball("ball.bmp");
    ball.SetDirection(90.0f, 0.0f);
    ball.paddleArmed = false;
    Step(&ball, 205.0f, 130.0f);
    EXPECT_TRUE(ball.paddleArmed);
    EXPECT_LT(ball.velocity->y, 0.0f) << "turned once";
    engine->registry->Reset();
    EXPECT_EQ(engine->registry->Find(6), second);
    EXPECT_EQ(engine->registry->Find(6), nullptr);
}

TEST_F(BallTest, PaddleFollowsTheArrowsInsideItsLimits) {
    Paddle paddle("paddle.bmp");
    auto move = [&](float from, bool left, bool right) {
        Key(DIK_LEFT, left);
        Key(DIK_RIGHT, right);
        paddle.SetPosition(from, 700.0f);
        paddle.Update();
        return paddle.position->x;
    };
    EXPECT_EQ(move(920.0f, false, true), 923.0f);
    EXPECT_EQ(move(5.0f, true, false), 1.0f);
    EXPECT_EQ(move(0.0f, false, false), 1.0f);
    EXPECT_EQ(move(300.0f, true, true), 300.0f);
    EXPECT_EQ(paddle.position->y, 700.0f);
}

TEST_F(BallTest, DerivedBallDecidesHowItBounces) {
    struct GhostBall : Ball {
        using Ball::Ball;
        void BounceX() override { ++bounces; }
        void BounceY() override { ++bounces; }
        int bounces = 0;
    } ball("ball.bmp");
    ball.SetDirection(135.0f, 2.0f);  // up and left, into the corner
    Step(&ball, 1.0f, 1.0f);
    EXPECT_EQ(ball.bounces, 2);
    EXPECT_LT(ball.velocity->x, 0.0f);
    EXPECT_GT(ball.velocity->y, 0.0f);
}

}  // namespace
