// The brick game: a wall of bricks, a paddle on the arrow keys and a ball
// that waits on the paddle until the space bar launches it. Three balls a
// game; clearing the wall wins, losing the last ball ends the game, and the
// space bar then starts a fresh one.
#pragma once

#include <vector>

#include "engine/base_level.h"

class Ball;
class BitmapText;
class Brick;
class CSound;
class Paddle;

class BreakoutLevel : public BaseLevel {
  public:
    enum class State { kWaiting, kPlaying, kWon, kLost };

    void Init() override;
    void Update() override;
    // Frees the three sounds (which stops them).
    void Shutdown() override;

    // Told by the ball right after each of its updates in play what that
    // update did, so the score, the sounds and a lost ball count in the
    // frame they happen.
    void AfterBallUpdate(bool hitPaddle, bool hitBrick);
    // Puts the ball on top of the paddle, centred, standing still.
    void RestBallOnPaddle();

    std::vector<Brick*> bricks;
    Paddle* paddle = nullptr;
    Ball* ball = nullptr;
    BitmapText* scoreText = nullptr;
    BitmapText* ballsText = nullptr;
    BitmapText* messageText = nullptr;
    // Null where the sound device or the file is missing: that event is silent.
    CSound* paddleSound = nullptr;
    CSound* brickSound = nullptr;
    CSound* lostSound = nullptr;

    State state = State::kWaiting;
    int score = 0;
    int ballsLeft = 0;
    int bricksLeft = 0;
    // The space bar acts when it goes down, not while it is held.
    bool spaceWasDown = false;
    char scoreLine[32] = "";
    char ballsLine[32] = "";

  private:
    // A fresh game: the whole wall back, then StartGame.
    void NewGame();
    // Score 0, three balls, the ball waiting on the paddle.
    void StartGame();
    void Launch();
    void ShowMessage(const char* text);
    void ShowCounts();
};
