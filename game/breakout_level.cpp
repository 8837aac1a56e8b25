#include "game/breakout_level.h"

#include <cstdio>
#include <cstring>

#include "engine/engine.h"
#include "engine/entity_kinds.h"
#include "engine/input_system.h"
#include "entities/bitmap_text.h"
#include "game/ball.h"
#include "game/brick.h"
#include "game/paddle.h"
#include "platform/core/dinput.h"
#include "sound/sound.h"
#include "sound/sound_device.h"
#include "sound/sound_system.h"

namespace {

constexpr int kRows = 5;
constexpr int kColumns = 12;
// Bricks, paddle and ball are discs of the same 50-pixel size, so the
// distance between two top-left corners is the distance between the centres
// and the ball bounces exactly when the pictures touch. 80 pixels between
// columns leaves gaps narrower than the ball.
constexpr float kWallLeft = 47.0f;
constexpr float kWallTop = 70.0f;
constexpr float kColumnStep = 80.0f;
constexpr float kRowStep = 56.0f;
constexpr int kBallsPerGame = 3;
constexpr int kPointsPerBrick = 10;
constexpr float kLaunchSpeed = 8.0f;
constexpr float kScreenWidth = 1024.0f;
constexpr float kScreenHeight = 768.0f;
constexpr int kGlyphWidth = 8;

const char* const kWaitingText = "Press SPACE to launch the ball";
const char* const kWonText = "YOU WIN! The wall is down. Press SPACE for a new game";
const char* const kLostText = "GAME OVER. Press SPACE for a new game";

CSound* LoadSound(const char* fileName) {
    CSound* sound = nullptr;
    if (engine->sound->device)
        engine->sound->device->CreateSound(&sound, fileName, 0, GUID_NULL, 1);
    return sound;
}

// From the start, also when the same sound is still playing.
void PlayFromStart(CSound* sound) {
    if (!sound) return;
    sound->Stop();
    sound->Reset();
    sound->Play(0, 0, 0, -1, 0);
}

// The level's ball: in play it is the plain ball, and after each update it
// tells the level what happened; otherwise it rests on the paddle. It is made
// after the paddle, so it follows the paddle's move of the same update.
class ServedBall : public Ball {
  public:
    ServedBall(const char* fileName, BreakoutLevel* level_) : Ball(fileName), level(level_) {}

    void Update() override {
        if (level->state != BreakoutLevel::State::kPlaying) {
            level->RestBallOnPaddle();
            return;
        }
        // Only a brick leaves the registry during the ball's update.
        const int before = engine->registry->Count();
        const bool wasArmed = paddleArmed;
        Ball::Update();
        level->AfterBallUpdate(wasArmed && !paddleArmed, engine->registry->Count() < before);
    }

  private:
    BreakoutLevel* level;
};

}  // namespace

void BreakoutLevel::Shutdown() {
    for (CSound** sound : {&paddleSound, &brickSound, &lostSound}) {
        delete *sound;
        *sound = nullptr;
    }
}

void BreakoutLevel::Init() {
    engine->registry->TrackRemoved(kBrickKind);
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column) {
            Brick* brick = new Brick("brick.bmp");
            brick->SetPosition(kWallLeft + kColumnStep * static_cast<float>(column),
                               kWallTop + kRowStep * static_cast<float>(row));
            bricks.push_back(brick);
        }
    paddle = new Paddle("paddle.bmp");
    paddle->SetPosition((kScreenWidth - static_cast<float>(paddle->GetWidth())) / 2.0f, 700.0f);
    ball = new ServedBall("ball.bmp", this);
    scoreText = new BitmapText("smallfont.bmp", 8, 12);
    scoreText->SetPosition(16.0f, 16.0f);
    scoreText->SetText(scoreLine);
    ballsText = new BitmapText("smallfont.bmp", 8, 12);
    ballsText->SetPosition(kScreenWidth - 16.0f - 7.0f * kGlyphWidth, 16.0f);
    ballsText->SetText(ballsLine);
    messageText = new BitmapText("smallfont.bmp", 8, 12);
    paddleSound = LoadSound("paddlehit.wav");
    brickSound = LoadSound("brickhit.wav");
    lostSound = LoadSound("lostball.wav");
    StartGame();
}

void BreakoutLevel::Update() {
    const bool spaceDown = engine->input->KeyDown(DIK_SPACE);
    const bool pressed = spaceDown && !spaceWasDown;
    spaceWasDown = spaceDown;
    if (!pressed) return;
    if (state == State::kWaiting)
        Launch();
    else if (state == State::kWon || state == State::kLost)
        NewGame();
}

void BreakoutLevel::NewGame() {
    // Knocked-out bricks come back (with new ids) in wall order.
    ObjectList* registry = engine->registry;
    registry->RemoveAll(kBrickKind);
    // The bricks live on in the wall: only their old registry nodes go.
    registry->Reclaim([](void*, std::int32_t) { return true; });
    for (Brick* brick : bricks) brick->Register();
    StartGame();
}

void BreakoutLevel::StartGame() {
    bricksLeft = kRows * kColumns;
    score = 0;
    ballsLeft = kBallsPerGame;
    state = State::kWaiting;
    ShowCounts();
    ShowMessage(kWaitingText);
    RestBallOnPaddle();
}

void BreakoutLevel::Launch() {
    // Up and towards the middle of the screen, at 60 degrees from the floor.
    const float centre = paddle->position->x + static_cast<float>(paddle->GetWidth()) / 2.0f;
    ball->SetDirection(centre < kScreenWidth / 2.0f ? 60.0f : 120.0f, kLaunchSpeed);
    // It leaves the paddle as from a paddle bounce.
    ball->paddleArmed = false;
    state = State::kPlaying;
    ShowMessage("");
}

void BreakoutLevel::AfterBallUpdate(bool hitPaddle, bool hitBrick) {
    if (hitPaddle) PlayFromStart(paddleSound);
    if (hitBrick) {
        score += kPointsPerBrick;
        --bricksLeft;
        PlayFromStart(brickSound);
        ShowCounts();
        if (bricksLeft == 0) {
            state = State::kWon;
            ShowMessage(kWonText);
            RestBallOnPaddle();
            return;
        }
    }
    if (ball->position->y > kScreenHeight) {
        --ballsLeft;
        PlayFromStart(lostSound);
        ShowCounts();
        state = ballsLeft > 0 ? State::kWaiting : State::kLost;
        ShowMessage(ballsLeft > 0 ? kWaitingText : kLostText);
        RestBallOnPaddle();
    }
}

void BreakoutLevel::RestBallOnPaddle() {
    ball->SetDirection(0.0f, 0.0f);
    const float x =
        paddle->position->x + static_cast<float>(paddle->GetWidth() - ball->GetWidth()) / 2.0f;
    ball->SetPosition(x, paddle->position->y - static_cast<float>(ball->GetHeight()));
}

void BreakoutLevel::ShowMessage(const char* text) {
    messageText->SetText(text);
    const float width = static_cast<float>(std::strlen(text) * kGlyphWidth);
    messageText->SetPosition((kScreenWidth - width) / 2.0f, 440.0f);
}

void BreakoutLevel::ShowCounts() {
    std::snprintf(scoreLine, sizeof scoreLine, "SCORE %d", score);
    std::snprintf(ballsLine, sizeof ballsLine, "BALLS %d", ballsLeft);
}
