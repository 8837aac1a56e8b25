#include "game/brick.h"

#include "engine/entity_dump.h"

Brick::Brick(const char* fileName) { SetUp(kBrickKind, fileName, true); }

void Brick::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "Brick");
}
