// The top-level level: initialises the engine, then creates, initialises and
// runs the level that is played.
#pragma once

#include <string>

#include "engine/base_level.h"
#include "platform/window.h"

class GameWorld : public BaseLevel {
public:
    int InitEngine(HINSTANCE instance, int cmdShow);
    void Init() override;

    BaseLevel* currentLevel;

    // The level the game world creates: "sprite" (the gallery) unless the
    // command line chose another.
    static std::string levelName;
};

// Makes the level of that name; null for a name no level has.
BaseLevel* CreateLevel(const std::string& name);
// Whether CreateLevel can make the level of that name in this build.
bool LevelIsBuilt(const std::string& name);
