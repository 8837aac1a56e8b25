#include "game/ball.h"

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

float Distance(const BaseSprite* a, const BaseSprite* b) {
    const float dx = a->position->x - b->position->x;
    const float dy = a->position->y - b->position->y;
    return std::sqrt(dx * dx + dy * dy);
}
}  // namespace

Ball::Ball(const char* fileName) {
    SetPosition(512.0f, 600.0f);
    SetUp(kSpriteKind, fileName, true);  // to the registry, a plain sprite
    paddleArmed = true;
}

void Ball::BounceX() { velocity->x = -velocity->x; }

void Ball::BounceY() { velocity->y = -velocity->y; }

void Ball::Update() {
    BaseSprite::Update();
    // A bounce does not move the ball back inside: one still beyond a wall
    // after its next step is reflected again.
    if (position->x < 0.0f || position->x > static_cast<float>(kScreenWidth - width)) {
        BounceX();
        paddleArmed = true;
    }
    if (position->y < 0.0f) {
        BounceY();
        paddleArmed = true;
    }

    if (paddleArmed) {
        for (BaseSprite* paddle : EntitiesOf<BaseSprite>(kPaddleKind)) {
            if (Distance(this, paddle) < kReach) {
                BounceY();
                paddleArmed = false;
                break;
            }
        }
    }
    for (BaseSprite* brick : EntitiesOf<BaseSprite>(kBrickKind)) {
        if (Distance(this, brick) < kReach) {
            // Out of play, not destroyed.
            engine->registry->Remove(static_cast<BaseEntity*>(brick));
            paddleArmed = true;
            BounceY();
            break;
        }
    }
}

void Ball::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Ball");
    record->Set("vx", velocity->x);
    record->Set("vy", velocity->y);
    record->Set("speed", velocity->z);
    record->Set("paddleArmed", paddleArmed);
}
