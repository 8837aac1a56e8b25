// SDL2 back end: start-up, the native window, system events and presentation.
#include <SDL2/SDL.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/clock.h"
#include "platform/internal.h"
#include "platform/platform.h"
#include "platform/sdl/sdl_events.h"

namespace platform {
namespace {

bool headless = false;
bool videoUp = false;

struct Presenter {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
    Uint64 lastPresent = 0;
};
Presenter presenter;

std::vector<std::pair<int, sdl::EventHandler>>& Handlers() {
    static std::vector<std::pair<int, sdl::EventHandler>> h;
    return h;
}

}  // namespace

bool Init(const Config& config, std::string* error) {
    const char* forced = std::getenv("VELMOR_VIDEO");
    headless = config.headless || (forced && std::strcmp(forced, "headless") == 0);
    if (headless) {
        UseVirtualClock(config.clockStart);
        if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
            if (error) *error = std::string("cannot start SDL events: ") + SDL_GetError();
            return false;
        }
        return true;
    }
    UseRealClock();
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
    videoUp = true;
    return true;
}

void Shutdown() {
    if (presenter.texture) SDL_DestroyTexture(presenter.texture);
    if (presenter.renderer) SDL_DestroyRenderer(presenter.renderer);
    presenter = Presenter{};
    SDL_Quit();
    videoUp = false;
}

bool IsHeadless() { return headless; }

namespace sdl {
int AddEventHandler(EventHandler handler) {
    static int next = 1;
    Handlers().emplace_back(next, std::move(handler));
    return next++;
}
void RemoveEventHandler(int id) {
    auto& h = Handlers();
    for (auto it = h.begin(); it != h.end(); ++it)
        if (it->first == id) {
            h.erase(it);
            return;
        }
}
}  // namespace sdl

namespace detail {

bool NativeVideoUp() { return videoUp; }

void* CreateNativeWindow(const char* title, int width, int height) {
    if (!videoUp) return nullptr;
    SDL_Window* w = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                     height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    return w;
}

void ShowNativeWindow(void* native) { SDL_ShowWindow(static_cast<SDL_Window*>(native)); }

void DestroyNativeWindow(void* native) {
    auto* w = static_cast<SDL_Window*>(native);
    if (presenter.window == w) {
        if (presenter.texture) SDL_DestroyTexture(presenter.texture);
        if (presenter.renderer) SDL_DestroyRenderer(presenter.renderer);
        presenter = Presenter{};
    }
    SDL_DestroyWindow(w);
}

void PumpSystemEvents() {
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        // Copy: a handler may add or remove handlers.
        auto handlers = Handlers();
        for (auto& [id, h] : handlers) h(e);
        HWND main = MainWindow();
        if (!main) continue;
        const bool closeRequest =
            e.type == SDL_QUIT ||
            (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE) ||
            (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_ESCAPE &&
             !e.key.repeat);
        if (closeRequest) PostMessageA(main, WM_CLOSE, 0, 0);
    }
}

void ShowFrame(HWND window, const std::uint32_t* pixels, int width, int height) {
    auto* native = static_cast<SDL_Window*>(NativeWindowOf(window));
    if (!native) return;
    if (presenter.window != native || presenter.width != width || presenter.height != height) {
        if (presenter.texture) SDL_DestroyTexture(presenter.texture);
        if (presenter.renderer) SDL_DestroyRenderer(presenter.renderer);
        presenter = Presenter{};
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

bool ShowNativeMessageBox(HWND owner, const char* text, const char* caption) {
    if (!videoUp) return false;
    auto* native = static_cast<SDL_Window*>(NativeWindowOf(owner));
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption, text, native) == 0;
}

}  // namespace detail
}  // namespace platform
