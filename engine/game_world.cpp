#include "engine/game_world.h"

#include "engine/engine.h"

std::string GameWorld::levelName = "sprite";

int GameWorld::InitEngine(HINSTANCE instance, int cmdShow) {
    return engine->Init(instance, cmdShow);
}

void GameWorld::Init() {
    currentLevel = CreateLevel(levelName);
    if (!currentLevel) return;
    currentLevel->Init();
    currentLevel->Run();
}
