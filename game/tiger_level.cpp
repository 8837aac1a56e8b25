#include "game/tiger_level.h"

#include <cstdint>
#include <cstdio>

#include "engine/engine.h"
#include "engine/input_system.h"
#include "entities/base_model.h"
#include "entities/bitmap_text.h"
#include "entities/tile_map.h"

namespace {
constexpr float kQuarterTurn = 1.5707964f;
constexpr float kStep = 0.2f;
}  // namespace

void TigerLevel::Init() {
    ground = new TileMap("groundtiles.bmp");
    ground->SetPosition(0, 0);
    ground->SetDirection(270, 5);
    tiger = new BaseModel("tiger.x");
    tiger->SetRotationX(kQuarterTurn);
    otherTiger = new BaseModel("tiger.x");
    otherTiger->SetRotationX(kQuarterTurn);
    coordText = new BitmapText("smallfont.bmp", 8, 12);
    coordText->SetPosition(10, 10);
    coordText->SetText("Hello World");
}

void TigerLevel::Update() {
    const auto x = static_cast<std::int32_t>(ground->GetPosition()->x);
    const auto y = static_cast<std::int32_t>(ground->GetPosition()->y);
    // A line too long for the buffer is cut to fit.
    std::snprintf(coordTextBuffer, sizeof coordTextBuffer, "X %d Y %d", static_cast<int>(x),
                  static_cast<int>(y));
    coordText->SetText(coordTextBuffer);

    InputSystem* input = engine->input;
    Vector3* position = tiger->GetPosition();
    Vector3* rotation = tiger->GetRotation();
    if (input->KeyDown(DIK_LEFT)) {
        tiger->SetZ(position->z - kStep);
        tiger->SetRotationX(rotation->x - kStep);
    }
    if (input->KeyDown(DIK_RIGHT)) {
        tiger->SetZ(position->z + kStep);
        tiger->SetRotationX(rotation->x + kStep);
    }
    if (input->KeyDown(DIK_UP)) {
        tiger->SetX(position->x - kStep);
        tiger->SetRotationY(rotation->y - kStep);
    }
    if (input->KeyDown(DIK_DOWN)) {
        tiger->SetX(position->x + kStep);
        tiger->SetRotationY(rotation->y + kStep);
    }
}
