#include "engine/entity_dump.h"

#include "engine/base_entity.h"
#include "engine/engine.h"
#include "engine/entity_registry.h"

std::string DumpFrameLine(std::int64_t frame) {
    std::string line = "{\"frame\":" + std::to_string(frame) + ",\"entities\":[";
    bool first = true;
    // Walk the links directly: the registry's search cursor belongs to the game.
    for (ObjectNode* n = engine->registry->Head(); n; n = n->next) {
        if (!n->value) continue;
        DumpRecord record;
        EntityOf(n->value)->Dump(&record);
        if (!first) line += ",";
        first = false;
        line += record.Json();
    }
    return line + "]}";
}
