#include "levels/level_factory.h"

#include "levels/breakout_level.h"
#include "levels/savanna_level.h"
#include "levels/shooter_level.h"
#include "levels/sprite_level.h"
#include "levels/tiger_level.h"

BaseLevel* CreateLevel(const std::string& name) {
    if (name == "sprite") return new SpriteLevel();
    if (name == "savanna") return new SavannaLevel();
    if (name == "shooter") return new ShooterLevel();
    if (name == "tiger") return new TigerLevel();
    if (name == "breakout") return new BreakoutLevel();
    return nullptr;
}

bool LevelIsBuilt(const std::string& name) {
    return name == "sprite" || name == "savanna" || name == "shooter" || name == "tiger" ||
           name == "breakout";
}
