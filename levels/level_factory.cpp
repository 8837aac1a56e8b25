// The levels the game world can play, by their command-line names.
#include <string>

#include "engine/game_world.h"
#include "levels/sprite_level.h"
#include "levels/tiger_level.h"

BaseLevel* CreateLevel(const std::string& name) {
    if (name == "sprite") return new SpriteLevel();
    if (name == "tiger") return new TigerLevel();
    return nullptr;
}

bool LevelIsBuilt(const std::string& name) { return name == "sprite" || name == "tiger"; }
