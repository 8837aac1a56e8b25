#include "game/player.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "engine/input_system.h"
#include "game/bullet.h"
#include "platform/core/dinput.h"

namespace {
// The ship stays within these, whatever the window's size.
constexpr int kShooterScreenWidth = 1024;
constexpr int kShooterScreenHeight = 768;
}  // namespace

Player::Player(const char* fileName) { SetUp(kPlayerKind, fileName, true); }

void Player::Update() {
    InputSystem* input = engine->input;
    // Each key is read on its own: opposite keys cancel, two keys go diagonally.
    if (input->KeyDown(DIK_LEFT)) position->x -= 10;
    if (input->KeyDown(DIK_RIGHT)) position->x += 10;
    if (input->KeyDown(DIK_UP)) position->y -= 10;
    if (input->KeyDown(DIK_DOWN)) position->y += 10;

    if (position->x <= 0) position->x = 1;
    if (position->x >= kShooterScreenWidth - width) position->x = kShooterScreenWidth - 1 - width;
    if (position->y <= 0) position->y = 1;
    if (position->y >= kShooterScreenHeight - height)
        position->y = kShooterScreenHeight - 1 - height;

    if (input->KeyDown(DIK_SPACE)) {
        fireCounter += 1;
        if (fireCounter > 6) {
            Shoot();
            fireCounter = 0;
        }
    }
}

void Player::Shoot() {
    auto* bullet = new Bullet("bullet.bmp", this, kind);
    bullet->SetPosition(position->x + static_cast<float>(width / 2), position->y);
    bullet->SetDirection(90, 10);
}

void Player::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Player");
    record->Set("score", static_cast<int>(score));
    record->Set("fireCounter", static_cast<int>(fireCounter));
}
