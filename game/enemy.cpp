#include "game/enemy.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/entity_kinds.h"
#include "game/bullet.h"

Enemy::Enemy(const char* fileName) { SetUp(kEnemyKind, fileName, true); }

void Enemy::Update() {
    // The interval grows with the slowdown: at 1.0 every 12th update.
    if (slowdown * 10.0 < fireCounter) {
        Shoot();
        fireCounter = 0;
    } else {
        fireCounter += 1;
    }
    position->x = position->x + velocity->x * velocity->z / slowdown;
    position->y = position->y - velocity->y * velocity->z / slowdown;
    if (position->y > 1200) engine->registry->Remove(static_cast<BaseEntity*>(this));
}

void Enemy::Shoot() {
    auto* bullet = new Bullet("bullet.bmp", this, kEnemyKind);
    bullet->SetPosition(position->x + static_cast<float>(width / 2), position->y);
    bullet->SetSlowdown(slowdown);
    bullet->SetDirection(270, 30);
}

void Enemy::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Enemy");
    record->Set("fireCounter", static_cast<int>(fireCounter));
    record->Set("slowdown", slowdown);
}
