/// @file
/// The top-level level: initialises the engine, then creates, initialises and
/// runs the level that is played.
#pragma once

#include <functional>
#include <string>

#include "engine/base_level.h"
#include "platform/core/window.h"

class GameWorld : public BaseLevel {
  public:
    int InitEngine(HINSTANCE instance, int cmdShow);
    void Init() override;

    BaseLevel* currentLevel;

    /// The level the game world creates: "sprite" (the gallery) unless the
    /// command line chose another.
    static std::string levelName;
    /// Makes the level of a name, or null; the program installs the levels'
    /// factory here, since the levels sit above the engine.
    static std::function<BaseLevel*(const std::string& name)> levelFactory;
};

/// The program's entry once options are parsed: builds the game world, has it
/// initialise the engine, and plays its level until the window is closed.
int WinMain(HINSTANCE instance, HINSTANCE prevInstance, const char* cmdLine, int cmdShow);
