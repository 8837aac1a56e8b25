#include "entities/bunny.h"

#include <cmath>

#include "engine/entity_dump.h"

Bunny::Bunny(const char* fileName, int frameCount, int frameWidth, int frameHeight, int rows,
             int columns)
    : AnimatedSprite(kBunnyKind, fileName, frameCount, frameWidth, frameHeight, rows, columns) {}

void Bunny::Hit() {
    hit = true;
    frame = 3;
}

void Bunny::HitTest(const Vector3* point) {
    if (hit || dead || !point) return;
    const float dx = position->x - point->x;
    const float dy = position->y - point->y;
    const float distance = std::sqrt(dx * dx + dy * dy);
    if (distance < 50.0f) Hit();
}

void Bunny::Update() {
    tick += 1;
    if (dead) return;
    if (hit && tick > 3) {
        frame += 1;
        if (frame == 8) dead = true;
        tick = 0;
    }
    BaseSprite::Update();
    if (jumping && tick > 10) {
        SetPosition(position->x - 30.0f, position->y - static_cast<float>(jumpSpeed));
        jumpSpeed -= 5;
        if (landing) {
            jumping = false;
            landing = false;
            frame = 0;
        }
        if (jumpSpeed <= -25) {
            landing = true;
            frame = 0;
        }
        tick = 0;
    }
    if (!jumping && tick > 10) {
        if (frame == 0) {
            frame = 1;
            tick = 0;
        } else if (frame == 1) {
            frame = 2;
            jumping = true;
            landing = false;
            jumpSpeed = 25;
            tick = 0;
        } else {
            frame = 0;
        }
    }
}

void Bunny::Dump(DumpRecord* record) {
    AnimatedSprite::Dump(record);
    record->Set("class", "Bunny");
    record->Set("hit", hit);
    record->Set("dead", dead);
}
