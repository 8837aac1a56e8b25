#include "entities/base_cursor.h"

#include "engine/engine.h"
#include "engine/entity_dump.h"
#include "engine/input_system.h"

BaseCursor::BaseCursor(const char* fileName) { SetUp(kSpriteKind, fileName, true); }

void BaseCursor::Update() {
    const DIMOUSESTATE mouse = engine->input->GetMouseState();
    const float y = static_cast<float>(mouse.lY) + position->y;
    const float x = static_cast<float>(mouse.lX) + position->x;
    SetPosition(x, y);
}

void BaseCursor::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "BaseCursor");
}
