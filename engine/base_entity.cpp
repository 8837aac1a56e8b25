#include "engine/base_entity.h"

#include "engine/dump_record.h"
#include "engine/engine.h"

BaseEntity::~BaseEntity() { engine->alive.erase(this); }

void BaseEntity::Register() {
    id = engine->nextEntityId++;
    engine->registry->Add(this, kind);
    engine->alive.insert(this);
}

void BaseEntity::Dump(DumpRecord* record) {
    record->Set("id", static_cast<int>(id));
    record->Set("kind", static_cast<int>(kind));
    record->Set("class", "BaseEntity");
}
