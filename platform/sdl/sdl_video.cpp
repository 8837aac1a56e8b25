// SDL2 video driver: the native window, system events translated into core's
// input calls, presentation of finished frames, message boxes, focus and the
// relative mouse.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/core/dinput.h"
#include "platform/sdl/sdl_driver.h"
#include "platform/sdl/sdl_keymap.h"

namespace platform::sdl {
namespace {

struct Presenter {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
    Uint64 lastPresent = 0;
};
Presenter presenter;

// Windows in creation order; the first is the program's main window.
std::vector<SDL_Window*> windows;
bool relativeMode = false;

void DropPresenter() {
    if (presenter.texture) SDL_DestroyTexture(presenter.texture);
    if (presenter.renderer) SDL_DestroyRenderer(presenter.renderer);
    presenter = Presenter{};
}

bool Start(std::string* error) {
    if (SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_VIDEO) != 0) {
        if (error)
            *error = std::string("cannot open a display (") + SDL_GetError() +
                     "); run with --headless, or under xvfb-run";
        return false;
    }
    // SDL falls back to drivers that show nothing when no display exists;
    // a windowed run must not go on invisibly.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
                   std::strcmp(driver, "evdev") == 0) &&
        !(asked && std::strcmp(asked, driver) == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (error) *error = "cannot open a display; run with --headless, or under xvfb-run";
        return false;
    }
    return true;
}

void Stop() {
    DropPresenter();
    windows.clear();
    relativeMode = false;
    SDL_Quit();
}

void* CreateWindow(const char* title, int width, int height) {
    SDL_Window* w = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                     height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (w) windows.push_back(w);
    return w;
}

void ShowWindow(void* native) { SDL_ShowWindow(static_cast<SDL_Window*>(native)); }

void DestroyWindow(void* native) {
    auto* w = static_cast<SDL_Window*>(native);
    if (presenter.window == w) DropPresenter();
    windows.erase(std::remove(windows.begin(), windows.end(), w), windows.end());
    SDL_DestroyWindow(w);
}

int ButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT: return 0;
        case SDL_BUTTON_RIGHT: return 1;
        case SDL_BUTTON_MIDDLE: return 2;
        case SDL_BUTTON_X1: return 3;
        default: return -1;
    }
}

void OnWindowEvent(const SDL_WindowEvent& e) {
    if (windows.empty() || e.windowID != SDL_GetWindowID(windows.front())) return;
    const Uint8 what = e.event;
    if (what == SDL_WINDOWEVENT_FOCUS_GAINED || what == SDL_WINDOWEVENT_FOCUS_LOST)
        InjectFocus(what == SDL_WINDOWEVENT_FOCUS_GAINED);
    // Giving the window a renderer may remake its native window, which then
    // shows the system pointer again: hide it anew whenever the window
    // appears or the pointer comes in.
    if (relativeMode && (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_EXPOSED ||
                         what == SDL_WINDOWEVENT_ENTER || what == SDL_WINDOWEVENT_FOCUS_GAINED))
        SDL_SetCursor(nullptr);
    if (what == SDL_WINDOWEVENT_CLOSE) InjectClose();
}

void PumpEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                // A held key's repeats change nothing the devices report.
                const BYTE dik = DikFromScancode(e.key.keysym.scancode);
                if (dik && !e.key.repeat) InjectKey(dik, e.type == SDL_KEYDOWN);
                break;
            }
            case SDL_MOUSEMOTION: InjectMouseMotion(e.motion.xrel, e.motion.yrel); break;
            case SDL_MOUSEWHEEL:
                InjectMouseWheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y
                                                                             : e.wheel.y);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const int i = ButtonIndex(e.button.button);
                if (i >= 0) InjectMouseButton(i, e.type == SDL_MOUSEBUTTONDOWN);
                break;
            }
            case SDL_WINDOWEVENT: OnWindowEvent(e.window); break;
            case SDL_QUIT: InjectClose(); break;
            default: break;
        }
    }
}

void Present(void* window, const std::uint32_t* pixels, int width, int height) {
    auto* native = static_cast<SDL_Window*>(window);
    if (presenter.window != native || presenter.width != width || presenter.height != height) {
        DropPresenter();
        presenter.window = native;
        presenter.renderer = SDL_CreateRenderer(native, -1, SDL_RENDERER_PRESENTVSYNC);
        if (!presenter.renderer) presenter.renderer = SDL_CreateRenderer(native, -1, 0);
        if (!presenter.renderer) return;
        presenter.texture = SDL_CreateTexture(presenter.renderer, SDL_PIXELFORMAT_ARGB8888,
                                              SDL_TEXTUREACCESS_STREAMING, width, height);
        presenter.width = width;
        presenter.height = height;
    }
    if (!presenter.texture) return;
    SDL_UpdateTexture(presenter.texture, nullptr, pixels, width * 4);
    SDL_RenderClear(presenter.renderer);
    SDL_RenderCopy(presenter.renderer, presenter.texture, nullptr, nullptr);
    // Presentation is the loop's only pacing: never faster than 60 Hz, even
    // where the display does not wait for its retrace (Xvfb, for one).
    const Uint64 freq = SDL_GetPerformanceFrequency();
    const Uint64 period = freq / 60;
    if (presenter.lastPresent) {
        Uint64 now = SDL_GetPerformanceCounter();
        while (now - presenter.lastPresent < period) {
            const Uint64 left = period - (now - presenter.lastPresent);
            SDL_Delay(static_cast<Uint32>(left * 1000 / freq > 1 ? left * 1000 / freq - 1 : 0));
            now = SDL_GetPerformanceCounter();
        }
    }
    SDL_RenderPresent(presenter.renderer);
    presenter.lastPresent = SDL_GetPerformanceCounter();
}

bool MessageBox(void* window, const char* text, const char* caption) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text,
                                    static_cast<SDL_Window*>(window)) == 0;
}

bool HasFocus(void* window) {
    return (SDL_GetWindowFlags(static_cast<SDL_Window*>(window)) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SetRelativeMouse(bool on) {
    relativeMode = on;
    SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
}

}  // namespace

const VideoDriver kVideoDriver = {
    "sdl",        true,       Start,      Stop,     CreateWindow,     ShowWindow,
    DestroyWindow, PumpEvents, Present, MessageBox, HasFocus, SetRelativeMouse,
};

}  // namespace platform::sdl
