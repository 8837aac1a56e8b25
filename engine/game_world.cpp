#include "engine/game_world.h"

#include "engine/engine.h"

std::string GameWorld::levelName = "sprite";
std::function<BaseLevel*(const std::string&)> GameWorld::levelFactory;

int GameWorld::InitEngine(HINSTANCE instance, int cmdShow) {
    return engine->Init(instance, cmdShow);
}

void GameWorld::Init() {
    currentLevel = levelFactory ? levelFactory(levelName) : nullptr;
    if (!currentLevel) return;
    currentLevel->Init();
    currentLevel->Run();
}

int WinMain(HINSTANCE instance, HINSTANCE, const char*, int cmdShow) {
    auto* world = new GameWorld();
    world->InitEngine(instance, cmdShow);
    world->Init();
    return 0;
}
