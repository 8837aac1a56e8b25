#include "levels/level_table.h"

namespace {

constexpr const char* kMenuFiles[] = {"pointer.bmp", "menuframe.bmp", "smallfont.bmp"};

}  // namespace

std::span<const char* const> MenuFiles() { return kMenuFiles; }

const LevelInfo* FindLevel(std::span<const LevelInfo> levels, std::string_view name) {
    for (const LevelInfo& level : levels)
        if (name == level.name) return &level;
    return nullptr;
}
