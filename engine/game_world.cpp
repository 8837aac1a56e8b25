#include "engine/game_world.h"

#include "engine/engine.h"

std::string GameWorld::levelName = "sprite";
BaseLevel* (*GameWorld::levelFactory)(const std::string&) = nullptr;

int GameWorld::InitEngine(HINSTANCE instance, int cmdShow) {
    return engine->Init(instance, cmdShow);
}

void GameWorld::Init() {
    currentLevel = levelFactory ? levelFactory(levelName) : nullptr;
    if (!currentLevel) return;
    currentLevel->Init();
    currentLevel->Run();
}
