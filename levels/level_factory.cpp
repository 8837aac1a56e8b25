#include "levels/level_factory.h"

#include "levels/sprite_level.h"

BaseLevel* CreateLevel(const std::string& name) {
    if (name == "sprite") return new SpriteLevel();
    return nullptr;
}

bool LevelIsBuilt(const std::string& name) { return name == "sprite"; }
