#include "game/ball.h"

#include <algorithm>
#include <cmath>

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"

namespace {
// The right wall is the fixed screen width, not the window's.
constexpr int kScreenWidth = 1024;
// Contact is a distance under this between the two top-left corners.
constexpr float kReach = 50.0f;

// The steepest paddle bounce from vertical, at or beyond a paddle's edge.
constexpr float kMaxPaddleAngle = 1.04719755f;  // 60 degrees

float Distance(const BaseSprite* a, const BaseSprite* b) {
    const float dx = a->position->x - b->position->x;
    const float dy = a->position->y - b->position->y;
    return std::sqrt(dx * dx + dy * dy);
}

bool NearAPaddle(const BaseSprite* ball) {
    for (BaseSprite* paddle : EntitiesOf<BaseSprite>(kPaddleKind))
        if (Distance(ball, paddle) < kReach) return true;
    return false;
}
}  // namespace

Ball::Ball(const char* fileName) {
    SetPosition(512.0f, 600.0f);
    SetUp(kSpriteKind, fileName, true);  // to the registry, a plain sprite
    paddleArmed = true;
}

void Ball::BounceX() { velocity->x = -velocity->x; }

void Ball::BounceY() { velocity->y = -velocity->y; }

void Ball::BounceY(const BaseSprite& paddle) {
    const float offset = (position->x + static_cast<float>(width) / 2.0f) -
                         (paddle.position->x + static_cast<float>(paddle.width) / 2.0f);
    // A paddle without an image (width 0) counts as one pixel wide.
    const float half = std::max(static_cast<float>(paddle.width), 1.0f) / 2.0f;
    const float angle = std::clamp(offset / half, -1.0f, 1.0f) * kMaxPaddleAngle;
    velocity->x = std::sin(angle);
    velocity->y = std::cos(angle);  // up; the speed in z stays
}

void Ball::Update() {
    BaseSprite::Update();
    // A bounce does not move the ball back inside: one still beyond a wall
    // after its next step is reflected again.
    if (position->x < 0.0f || position->x > static_cast<float>(kScreenWidth - width)) BounceX();
    if (position->y < 0.0f) BounceY();

    if (paddleArmed) {
        for (BaseSprite* paddle : EntitiesOf<BaseSprite>(kPaddleKind)) {
            if (Distance(this, paddle) < kReach) {
                BounceY(*paddle);
                paddleArmed = false;
                break;
            }
        }
    }
    for (BaseSprite* brick : EntitiesOf<BaseSprite>(kBrickKind)) {
        if (Distance(this, brick) < kReach) {
            // Out of play, not destroyed.
            engine->registry->Remove(static_cast<BaseEntity*>(brick));
            BounceY();
            break;
        }
    }
    // Whatever bounced it, a ball still beside the paddle it left on its way
    // up stays disarmed.
    if (!paddleArmed && (velocity->y < 0.0f || !NearAPaddle(this))) paddleArmed = true;
}

void Ball::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Ball");
    record->Set("vx", velocity->x);
    record->Set("vy", velocity->y);
    record->Set("speed", velocity->z);
    record->Set("paddleArmed", paddleArmed);
}
