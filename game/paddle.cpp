#include "game/paddle.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/input_system.h"
#include "platform/core/dinput.h"

namespace {
constexpr int kScreenWidth = 1024;
constexpr float kStep = 10.0f;
}  // namespace

Paddle::Paddle(const char* fileName) {
    SetPosition(512.0f, 700.0f);
    SetUp(kPaddleKind, fileName, true);
}

void Paddle::Update() {
    // Both keys down: the two steps cancel out.
    if (engine->input->KeyDown(DIK_LEFT)) position->x = position->x - kStep;
    if (engine->input->KeyDown(DIK_RIGHT)) position->x = position->x + kStep;
    if (position->x <= 0.0f) position->x = 1.0f;
    if (position->x >= static_cast<float>(kScreenWidth - width))
        position->x = 1023.0f - static_cast<float>(width);
}

void Paddle::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Paddle");
}
