// The one process-wide engine: its window, message pump and frame step, and
// the sub-objects every other part reaches through the global `engine`.
#pragma once

#include <vector>

#include "engine/object_list.h"
#include "platform/core/window.h"

class BaseEntity;
class Renderer;
class InputSystem;
class SoundSystem;
class TextureCache;

class Engine {
  public:
    Engine();
    ~Engine() {}
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    int Init(HINSTANCE instance, int cmdShow);
    int PumpMessage();
    void Frame();
    void UpdateEntities();
    void RenderEntities();
    void Run();
    // Frees the entities taken out of play (of the kinds the registry tracks)
    // and their nodes, except those in `named`, which something still reads.
    // Call between frames only. Returns how many were freed.
    int FreeRemovedExcept(std::vector<const BaseEntity*> named);

    Renderer* renderer;
    InputSystem* input;
    SoundSystem* sound;
    TextureCache* textureCache;
    ObjectList* registry;
    // The id the next registered entity gets.
    int nextEntityId = 0;
    int width;
    int height;
    bool fullscreen;
    MSG message;
    HWND window = nullptr;

  private:
    template <typename Call>
    void WalkEntities(Call call);
};

extern Engine* engine;

ATOM RegisterWindowClass(HINSTANCE instance);
LRESULT WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
