#include "engine/engine.h"

#include <algorithm>

#include "engine/base_entity.h"
#include "engine/input_system.h"
#include "engine/level_host.h"
#include "engine/renderer.h"
#include "engine/texture_cache.h"
#include "sound/sound_system.h"

// Created before main runs, as every constructor that runs later may use it.
Engine* engine = new Engine();

namespace {
constexpr const char* kClassName = "Velmor Engine";
}

Engine::Engine() : width(1024), height(768), fullscreen(false) {
    renderer = new Renderer();
    input = new InputSystem();  // value-initialised: every key up, no devices
    sound = new SoundSystem();
    textureCache = new TextureCache();
    registry = new ObjectList();
}

ATOM RegisterWindowClass(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = 48;
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.cbClsExtra = 0;
    wc.cbWndExtra = 0;
    wc.hInstance = instance;
    wc.hIcon = nullptr;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszMenuName = nullptr;
    wc.lpszClassName = kClassName;
    wc.hIconSm = nullptr;
    return RegisterClassExA(&wc);
}

LRESULT WindowProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, msg, wParam, lParam);
}

int Engine::Init(HINSTANCE instance, int cmdShow) {
    RegisterWindowClass(instance);
    HWND created =
        CreateWindowExA(0, kClassName, caption, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        width, height, nullptr, nullptr, instance, nullptr);
    if (created) {
        ShowWindow(created, cmdShow);
        UpdateWindow(created);
        window = created;
    }
    renderer->Init(window, static_cast<unsigned>(width), static_cast<unsigned>(height), fullscreen);
    input->Init();
    input->InitKeyboard(window);
    input->InitMouse(window);
    sound->Init(window);
    return textureCache->Init(renderer->device);
}

int Engine::PumpMessage() {
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return 0;
    const bool quit = message.message == WM_QUIT;
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return quit ? 1 : 0;
}

void Engine::Frame(bool update) {
    if (update) UpdateEntities();
    renderer->BeginFrame();
    RenderEntities();
    if (host && renderer->inScene) host->DrawOver();
    renderer->EndFrame();
}

// Node i is asked for by index with the count read anew on every pass: an
// entity added during the walk is visited, and one that removes itself makes
// the entity after it miss this walk. The cursor is restored around each call.
template <typename Call>
void Engine::WalkEntities(Call call) {
    registry->Reset();
    for (int i = 0; i < registry->Count(); ++i) {
        ObjectNode* saved = registry->GetCursor();
        ObjectNode* node = registry->NodeAt(i);
        call(EntityOf(node->value));
        registry->SetCursor(saved);
    }
}

void Engine::UpdateEntities() {
    WalkEntities([](BaseEntity* e) { e->Update(); });
}

void Engine::RenderEntities() {
    WalkEntities([](BaseEntity* e) { e->Render(); });
}

int Engine::FreeRemovedExcept(std::vector<const BaseEntity*> named) {
    std::sort(named.begin(), named.end());
    return registry->Reclaim([&](void* v, std::int32_t) {
        BaseEntity* entity = EntityOf(v);
        if (std::binary_search(named.begin(), named.end(), entity)) return false;
        delete entity;
        return true;
    });
}

void Engine::ClearEntities() {
    std::vector<BaseEntity*> all(alive.begin(), alive.end());
    std::sort(all.begin(), all.end(),
              [](const BaseEntity* a, const BaseEntity* b) { return a->id < b->id; });
    for (BaseEntity* entity : all) delete entity;
    delete registry;
    registry = new ObjectList();
    nextEntityId = 0;
}

void Engine::Run() {
    bool quit = false;
    while (!quit) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) quit = true;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        } else {
            UpdateEntities();
            renderer->BeginFrame();
            RenderEntities();
            renderer->EndFrame();
        }
    }
}
