#include "game/shooter_level.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/random.h"
#include "engine/engine.h"
#include "engine/entity_kinds.h"
#include "engine/entity_registry.h"
#include "engine/input_system.h"
#include "entities/bitmap_text.h"
#include "game/bullet.h"
#include "game/enemy.h"
#include "game/player.h"
#include "platform/core/clock.h"
#include "platform/core/dinput.h"

std::uint32_t ShooterWaveSeed(float shipX, std::int64_t secondsBack) {
    const double product =
        std::trunc(static_cast<double>(shipX) * static_cast<double>(secondsBack));
    std::int64_t whole = 0;  // also for NaN
    if (product >= 9223372036854775808.0)
        whole = INT64_MAX;
    else if (product < -9223372036854775808.0)
        whole = INT64_MIN;
    else if (product == product)
        whole = static_cast<std::int64_t>(product);
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(whole));
}

std::int32_t ShooterDisplayInt(float value) {
    if (value != value) return 0;
    if (value >= 2147483648.0f) return INT32_MAX;
    if (value < -2147483648.0f) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

namespace {

// Writes label and value into a line's buffer, cut to fit if too long.
template <std::size_t N>
void FormatLine(char (&buffer)[N], const char* label, int value) {
    const std::string line = label + std::to_string(value);
    const std::size_t length = std::min(line.size(), N - 1);
    std::memcpy(buffer, line.data(), length);
    buffer[length] = '\0';
}

}  // namespace

void ShooterLevel::Init() {
    engine->registry->TrackRemoved(kBulletKind);
    engine->registry->TrackRemoved(kEnemyKind);
    player = new Player("player.bmp");
    player->SetPosition(100, 394);
    speedText = new BitmapText("smallfont.bmp", 8, 12);
    speedText->SetPosition(10, 10);
    speedText->SetText("Speed: 0");
    integrityText = new BitmapText("smallfont.bmp", 8, 12);
    integrityText->SetPosition(10, 30);
    integrityText->SetText("Integrity: 0");
    scoreText = new BitmapText("smallfont.bmp", 8, 12);
    scoreText->SetPosition(10, 50);
    scoreText->SetText("Score: 0");
    speed = 100;
    integrity = 100.0f;
    lastTick = Time();
}

void ShooterLevel::Update() {
    // Between two frames: no walk is under way, so spent objects can go.
    ReclaimSpent();
    now = Time();
    UpdateSpeed(engine->input->KeyDown(DIK_Z));
    FormatLine(speedTextBuffer, "Speed: ", speed);
    speedText->SetText(speedTextBuffer);
    UpdateIntegrity();
    FormatLine(integrityTextBuffer, "Integrity: ", ShooterDisplayInt(integrity));
    integrityText->SetText(integrityTextBuffer);
    // A removed ship is still read: it keeps its score.
    FormatLine(scoreTextBuffer, "Score: ", player->GetScore());
    scoreText->SetText(scoreTextBuffer);
    if (now > lastTick) Spawn();
    ApplySlowdown();
}

void ShooterLevel::UpdateSpeed(bool zDown) {
    if (zDown) {
        speed += 2;
        if (speed > 1000) speed = 1000;
    } else {
        speed -= 2;
        if (speed < 100) speed = 100;
    }
}

void ShooterLevel::UpdateIntegrity() {
    if (speed > 100) {
        if (!engine->input->KeyDown(DIK_Z)) return;  // neither drains nor recovers
        const float d = static_cast<float>((speed - 100) / 10000.0);
        integrity -= d;
        if (integrity <= 0) engine->registry->Remove(static_cast<BaseEntity*>(player));
    } else {
        integrity = static_cast<float>(integrity + static_cast<double>(0.1f));
        if (integrity > 100.0f) integrity = 100.0f;
    }
}

void ShooterLevel::Spawn() {
    Srand(ShooterWaveSeed(player->GetPosition()->x, startTime - now));
    const std::int64_t elapsed = now - startTime;
    const int count = elapsed < 15 ? 1 : elapsed < 25 ? 2 : elapsed < 30 ? 3 : 0;
    for (int i = 0; i < count; ++i) {
        const int r = SpawnEnemy();
        // Between two spawns of one second: reseeded from the x just used,
        // the product taken in 64 bits (wrapping, so always defined).
        if (i + 1 < count)
            Srand(static_cast<std::uint32_t>(static_cast<std::uint64_t>(r) *
                                             static_cast<std::uint64_t>(startTime - now)));
    }
    lastTick = now;
}

int ShooterLevel::SpawnEnemy() {
    const int r = Rand() % 1024;
    lastEnemy = new Enemy("enemy.bmp");
    lastEnemy->SetPosition(static_cast<float>(r), -100);
    lastEnemy->SetDirection(270, 10);  // straight down
    return r;
}

void ShooterLevel::ReclaimSpent() {
    // A bullet in play still names its owner (dumped, and scored for); such
    // an enemy stays until its last bullet has gone. The player is never
    // freed, nor the enemy spawned last, which the level still names.
    std::vector<const BaseEntity*> owners = {lastEnemy};
    for (const Bullet* bullet : ValuesOf<Bullet>(kBulletKind)) owners.push_back(bullet->owner);
    reclaimed += engine->FreeRemovedExcept(std::move(owners));
}

void ShooterLevel::ApplySlowdown() {
    const float f = static_cast<float>(speed / 100.0);
    for (Bullet* bullet : EntitiesOf<Bullet>(kBulletKind)) bullet->SetSlowdown(f);
    for (Enemy* enemy : EntitiesOf<Enemy>(kEnemyKind)) enemy->SetSlowdown(f);
}
