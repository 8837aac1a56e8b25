#include "entities/base_entity.h"

#include "engine/entity_dump.h"

void BaseEntity::Dump(DumpRecord* record) {
    record->Set("kind", static_cast<int>(kind));
    record->Set("class", "BaseEntity");
}
