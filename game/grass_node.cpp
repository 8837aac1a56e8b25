#include "game/grass_node.h"

#include "engine/entity_dump.h"

GrassNode::GrassNode(const char* fileName) {
    SetUp(kGrassKind, fileName, true);
    grassId = -1;
}

// The sprite's movement step; a patch's velocity stays zero.
void GrassNode::Update() { BaseSprite::Update(); }

void GrassNode::Dump(DumpRecord* record) {
    BaseSprite::Dump(record);
    record->Set("class", "GrassNode");
    record->Set("grassId", static_cast<int>(grassId));
}
