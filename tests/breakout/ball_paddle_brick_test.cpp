#include <tuple>

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
        for (auto [name, w, h] :
             {std::tuple{"ball.bmp", 16, 16}, {"paddle.bmp", 100, 16}, {"brick.bmp", 64, 24}})
            ASSERT_TRUE(testbmp::WriteSolid(name, w, h, 0xFFFFFFFF));
    }
    // One update of the ball, the registry's cursor at its head as in the walk.
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
    EXPECT_TRUE(ball.velocity->x > 0.0f && ball.paddleArmed);

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
    ball.paddleArmed = true;
    Step(&ball, 512.0f, 651.0f);
    EXPECT_TRUE(ball.velocity->y > 0.0f && !ball.paddleArmed);
    ball.paddleArmed = true;
    Step(&ball, 542.0f, 660.0f);  // exactly 50 pixels: out of reach
    EXPECT_TRUE(ball.paddleArmed);
}

TEST_F(BallTest, OneBrickPerUpdateTheFirstRegistered) {
    Brick *first = new Brick("brick.bmp"), *second = new Brick("brick.bmp");
    first->SetPosition(200.0f, 100.0f);
    second->SetPosition(210.0f, 100.0f);
    Ball ball("ball.bmp");
    ball.SetDirection(90.0f, 0.0f);
    ball.paddleArmed = false;
    Step(&ball, 205.0f, 130.0f);
    EXPECT_TRUE(ball.paddleArmed && ball.velocity->y < 0.0f) << "turned once";
    EXPECT_TRUE(!Registered(first) && Registered(second));
}

}  // namespace
