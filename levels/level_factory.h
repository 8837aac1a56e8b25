// The levels the game world can play, by their command-line names.
#pragma once

#include <string>

class BaseLevel;

// Makes the level of that name; null for a name no level has.
BaseLevel* CreateLevel(const std::string& name);
// Whether CreateLevel can make the level of that name in this build.
bool LevelIsBuilt(const std::string& name);
