/// @file
/// The one process-wide engine: its window, message pump and frame step, and
/// the sub-objects every other part reaches through the global `engine`.
#pragma once

#include <unordered_set>
#include <vector>

#include "engine/object_list.h"
#include "platform/core/window.h"

class BaseEntity;
class Renderer;
class InputSystem;
class LevelHost;
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
    /// One frame: the entities' updates (unless `update` is false: a paused
    /// frame), then the scene, the host's drawing over it, and the present.
    void Frame(bool update = true);
    void UpdateEntities();
    void RenderEntities();
    void Run();
    /// Frees the entities taken out of play (of the kinds the registry tracks)
    /// and their nodes, except those in `named`, which something still reads.
    /// Call between frames only. Returns how many were freed.
    int FreeRemovedExcept(std::vector<const BaseEntity*> named);
    /// Frees every entity still alive, in play or not, and the registry's
    /// nodes, and numbers entities from 0 again: what a level made leaves
    /// with it. Call between frames only.
    void ClearEntities();

    Renderer* renderer;
    InputSystem* input;
    SoundSystem* sound;
    TextureCache* textureCache;
    ObjectList* registry;
    /// Every registered entity not yet freed.
    std::unordered_set<BaseEntity*> alive;
    /// Sees each frame of the level first and draws over it; null: none.
    LevelHost* host = nullptr;
    /// The id the next registered entity gets.
    int nextEntityId = 0;
    /// The window's caption.
    const char* caption = "Velmor Engine";
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
