// SDL2 video driver: the native window, system events translated into core's
// input calls (game controllers as keys and mouse, see sdl_gamepad.h),
// presentation of finished frames paced to 60 a second, message boxes, focus
// and the relative mouse. The window is resizable and the frame is scaled
// into it with its aspect kept (F11 and Alt+Enter toggle desktop
// fullscreen); none of that reaches core: the back buffer and the mouse
// motion stay as they are.
//
// VELMOR_FRAME_LOG=FILE writes one line per presented frame (the time it
// was shown and how long the present took, in microseconds), for the
// windowed frame-rate benchmark.
#include <SDL2/SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/dinput.h"
#include "platform/sdl/frame_pacer.h"
#include "platform/sdl/quietly.h"
#include "platform/sdl/sdl_driver.h"
#include "platform/sdl/sdl_gamepad.h"
#include "platform/sdl/sdl_keymap.h"
#include "platform/sdl/sdl_x11.h"

namespace platform::sdl {
namespace {

struct Presenter {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int width = 0;
    int height = 0;
    bool retrace = false;  // the present waits for a 60 Hz display's retrace
};
Presenter presenter;
FramePacer pacer;
std::FILE* frameLog = nullptr;

std::int64_t Now() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Without a window manager nobody carries out a fullscreen request: the
// driver then covers the display with the window itself, and puts it back.
struct OwnFullscreen {
    bool on = false;
    SDL_Rect saved{};
};
OwnFullscreen ownFullscreen;

// Windows in creation order; the first is the program's main window.
std::vector<SDL_Window*> windows;
bool relativeMode = false;
// Keys the driver keeps for itself (F11, Alt+Enter): their releases too.
std::vector<SDL_Scancode> keptKeys;
bool framePending = false;  // the main window's frame is not yet known

void DropPresenter() {
    if (presenter.texture) SDL_DestroyTexture(presenter.texture);
    if (presenter.renderer) SDL_DestroyRenderer(presenter.renderer);
    presenter = Presenter{};
}

// Whether the window's display refreshes at 60 Hz, so that its retrace can
// pace the game. Any other rate (75, 144 Hz, unknown) is paced by deadlines.
bool DisplayRunsAt60(SDL_Window* w) {
    SDL_DisplayMode mode{};
    return SDL_GetCurrentDisplayMode(SDL_GetWindowDisplayIndex(w), &mode) == 0 &&
           mode.refresh_rate >= 59 && mode.refresh_rate <= 61;
}

// The window's renderer, made before the window is first shown: making it
// later may remake the native window, which the window manager then places
// anew.
bool MakeRenderer(SDL_Window* native) {
    if (presenter.window == native && presenter.renderer) return true;
    DropPresenter();
    pacer.Restart();
    presenter.window = native;
    const bool at60 = DisplayRunsAt60(native);
    if (at60) presenter.renderer = SDL_CreateRenderer(native, -1, SDL_RENDERER_PRESENTVSYNC);
    if (!presenter.renderer) presenter.renderer = SDL_CreateRenderer(native, -1, 0);
    if (!presenter.renderer) return false;
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(presenter.renderer, &info);
    presenter.retrace = at60 && (info.flags & SDL_RENDERER_PRESENTVSYNC);
    if (frameLog)
        std::fprintf(frameLog, "# %s renderer, paced by %s\n", info.name ? info.name : "?",
                     presenter.retrace ? "the retrace" : "deadlines");
    return true;
}

bool MakeTexture(int width, int height) {
    if (presenter.texture && presenter.width == width && presenter.height == height) return true;
    if (presenter.texture) SDL_DestroyTexture(presenter.texture);
    presenter.texture = SDL_CreateTexture(presenter.renderer, SDL_PIXELFORMAT_ARGB8888,
                                          SDL_TEXTUREACCESS_STREAMING, width, height);
    presenter.width = width;
    presenter.height = height;
    return presenter.texture != nullptr;
}

bool Start(std::string* error) {
    if (Quietly([] { return SDL_InitSubSystem(SDL_INIT_EVENTS | SDL_INIT_VIDEO); }) != 0) {
        if (error)
            *error = std::string("cannot open a display (") + SDL_GetError() +
                     "); run with --headless, or under xvfb-run";
        return false;
    }
    // SDL falls back to drivers that show nothing when no display exists;
    // a windowed run must not go on invisibly.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = std::getenv("SDL_VIDEODRIVER");
    if (driver &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0 ||
         std::strcmp(driver, "evdev") == 0) &&
        !(asked && std::strcmp(asked, driver) == 0)) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        if (error) *error = "cannot open a display; run with --headless, or under xvfb-run";
        return false;
    }
    if (const char* log = std::getenv("VELMOR_FRAME_LOG"); log && *log)
        frameLog = std::fopen(log, "w");
    // A line per frame as it happens: the log can be watched while the game runs.
    if (frameLog) std::setvbuf(frameLog, nullptr, _IOLBF, 0);
    StartGamepads();
    return true;
}

void Stop() {
    DropPresenter();
    windows.clear();
    relativeMode = false;
    keptKeys.clear();
    framePending = false;
    ownFullscreen = OwnFullscreen{};
    pacer.Restart();
    if (frameLog) std::fclose(frameLog);
    frameLog = nullptr;
    StopGamepads();
    SDL_Quit();
}

// The size scaled down, aspect kept, to fit `bounds` (unchanged if it fits).
void FitInto(const SDL_Rect& bounds, int* width, int* height) {
    if (bounds.w <= 0 || bounds.h <= 0 || (*width <= bounds.w && *height <= bounds.h)) return;
    const double s =
        std::min(static_cast<double>(bounds.w) / *width, static_cast<double>(bounds.h) / *height);
    *width = std::max(1, static_cast<int>(*width * s));
    *height = std::max(1, static_cast<int>(*height * s));
}

// Opens at the asked size, or at the largest size of that shape that fits
// the desktop's usable area where the asked one does not.
void* CreateWindow(const char* title, int width, int height) {
    SDL_Rect usable{};
    if (SDL_GetDisplayUsableBounds(0, &usable) == 0) FitInto(usable, &width, &height);
    SDL_Window* w = SDL_CreateWindow(title, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, width,
                                     height, SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (w) windows.push_back(w);
    return w;
}

// Once the window manager has framed the new main window, window and frame
// together must fit the usable area too: the window shrinks to fit and a
// frame that crosses the area's edges is centred in it. Tried on each
// window event until the frame is known (a desktop without a window manager
// never tells).
void FitWithFrame(SDL_Window* w) {
    int top = 0, left = 0, bottom = 0, right = 0;
    SDL_Rect usable{};
    if (SDL_GetWindowBordersSize(w, &top, &left, &bottom, &right) != 0 ||
        top + left + bottom + right == 0 ||
        SDL_GetDisplayUsableBounds(SDL_GetWindowDisplayIndex(w), &usable) != 0)
        return;
    framePending = false;
    SDL_Rect inner{usable.x + left, usable.y + top, usable.w - left - right,
                   usable.h - top - bottom};
    int width = 0, height = 0;
    SDL_GetWindowSize(w, &width, &height);
    const int oldWidth = width, oldHeight = height;
    FitInto(inner, &width, &height);
    if (width != oldWidth || height != oldHeight) SDL_SetWindowSize(w, width, height);
    int x = 0, y = 0;
    SDL_GetWindowPosition(w, &x, &y);
    const bool inside = x - left >= usable.x && y - top >= usable.y &&
                        x + width + right <= usable.x + usable.w &&
                        y + height + bottom <= usable.y + usable.h;
    if (!inside || width != oldWidth || height != oldHeight)
        SDL_SetWindowPosition(w, inner.x + std::max(0, (inner.w - width) / 2),
                              inner.y + std::max(0, (inner.h - height) / 2));
}

void ShowWindow(void* native) {
    auto* w = static_cast<SDL_Window*>(native);
    framePending = !windows.empty() && w == windows.front();
    if (framePending) MakeRenderer(w);
    SDL_ShowWindow(w);
    if (framePending) FitWithFrame(w);
}

void ToggleFullscreen() {
    if (windows.empty()) return;
    SDL_Window* w = windows.front();
    if (ownFullscreen.on) {
        const SDL_Rect r = ownFullscreen.saved;
        ownFullscreen.on = false;
        SDL_SetWindowBordered(w, SDL_TRUE);
        SDL_SetWindowSize(w, r.w, r.h);
        SDL_SetWindowPosition(w, r.x, r.y);
        return;
    }
    const bool on = (SDL_GetWindowFlags(w) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_Rect display{};
    if (!on && !HasWindowManager(w) &&
        SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(w), &display) == 0) {
        ownFullscreen.on = true;
        SDL_GetWindowPosition(w, &ownFullscreen.saved.x, &ownFullscreen.saved.y);
        SDL_GetWindowSize(w, &ownFullscreen.saved.w, &ownFullscreen.saved.h);
        SDL_SetWindowBordered(w, SDL_FALSE);
        SDL_SetWindowPosition(w, display.x, display.y);
        SDL_SetWindowSize(w, display.w, display.h);
        SDL_RaiseWindow(w);
        return;
    }
    SDL_SetWindowFullscreen(w, on ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// F11 and Alt+Enter toggle fullscreen; the game never sees them.
bool KeepKey(const SDL_KeyboardEvent& key) {
    const SDL_Scancode code = key.keysym.scancode;
    const auto kept = std::find(keptKeys.begin(), keptKeys.end(), code);
    if (key.type == SDL_KEYUP) {
        if (kept == keptKeys.end()) return false;
        keptKeys.erase(kept);
        return true;
    }
    const bool altEnter = (code == SDL_SCANCODE_RETURN || code == SDL_SCANCODE_KP_ENTER) &&
                          (key.keysym.mod & KMOD_ALT);
    if (code != SDL_SCANCODE_F11 && !altEnter) return false;
    if (kept == keptKeys.end()) keptKeys.push_back(code);
    if (!key.repeat) ToggleFullscreen();
    return true;
}

void DestroyWindow(void* native) {
    auto* w = static_cast<SDL_Window*>(native);
    if (presenter.window == w) DropPresenter();
    if (!windows.empty() && windows.front() == w) ownFullscreen = OwnFullscreen{};
    windows.erase(std::remove(windows.begin(), windows.end(), w), windows.end());
    SDL_DestroyWindow(w);
}

int ButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        case SDL_BUTTON_X1:
            return 3;
        default:
            return -1;
    }
}

void OnWindowEvent(const SDL_WindowEvent& e) {
    if (windows.empty() || e.windowID != SDL_GetWindowID(windows.front())) return;
    const Uint8 what = e.event;
    if (framePending) FitWithFrame(windows.front());
    if (what == SDL_WINDOWEVENT_FOCUS_GAINED || what == SDL_WINDOWEVENT_FOCUS_LOST)
        InjectFocus(what == SDL_WINDOWEVENT_FOCUS_GAINED);
    // Giving the window a renderer may remake its native window, which then
    // shows the system pointer again: hide it anew whenever the window
    // appears or the pointer comes in.
    if (relativeMode && (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_EXPOSED ||
                         what == SDL_WINDOWEVENT_ENTER || what == SDL_WINDOWEVENT_FOCUS_GAINED))
        SDL_SetCursor(nullptr);
    if (what == SDL_WINDOWEVENT_DISPLAY_CHANGED) DropPresenter();  // the new display's pacing
    if (what == SDL_WINDOWEVENT_CLOSE) InjectClose();
}

void PumpEvents() {
    SDL_Event e;
    while (SDL_PollEvent(&e)) {
        switch (e.type) {
            case SDL_KEYDOWN:
            case SDL_KEYUP: {
                if (KeepKey(e.key)) break;
                // A held key's repeats change nothing the devices report.
                const BYTE dik = DikFromScancode(e.key.keysym.scancode);
                if (dik && !e.key.repeat) OnKeyboardKey(dik, e.type == SDL_KEYDOWN);
                break;
            }
            case SDL_MOUSEMOTION:
                InjectMouseMotion(e.motion.xrel, e.motion.yrel);
                break;
            case SDL_MOUSEWHEEL:
                InjectMouseWheel(e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y
                                                                             : e.wheel.y);
                break;
            case SDL_MOUSEBUTTONDOWN:
            case SDL_MOUSEBUTTONUP: {
                const int i = ButtonIndex(e.button.button);
                if (i >= 0) OnMouseButton(i, e.type == SDL_MOUSEBUTTONDOWN);
                break;
            }
            case SDL_WINDOWEVENT:
                OnWindowEvent(e.window);
                break;
            case SDL_QUIT:
                InjectClose();
                break;
            default:
                OnGamepadEvent(e);
                break;
        }
    }
    OnPumpEnd();
}

// Where the frame goes in the window: the largest whole multiple of its size
// that fits, centred, with black bars around; in a window smaller than the
// frame, the largest size of the frame's shape that fits, smoothly scaled.
SDL_Rect Placement(SDL_Renderer* renderer, int width, int height) {
    int outW = width, outH = height;
    SDL_GetRendererOutputSize(renderer, &outW, &outH);
    const double fit =
        std::min(static_cast<double>(outW) / width, static_cast<double>(outH) / height);
    int w = width, h = height;
    if (fit >= 1.0) {
        const int k = static_cast<int>(fit);
        w *= k;
        h *= k;
    } else {
        w = std::max(1, static_cast<int>(width * fit));
        h = std::max(1, static_cast<int>(height * fit));
    }
    SDL_SetTextureScaleMode(presenter.texture,
                            fit >= 1.0 ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    return SDL_Rect{(outW - w) / 2, (outH - h) / 2, w, h};
}

// Presentation is the loop's only pacing: 60 frames a second, by the
// display's retrace or by deadlines (Xvfb, for one, never waits).
void Present(void* window, const std::uint32_t* pixels, int width, int height) {
    if (!MakeRenderer(static_cast<SDL_Window*>(window)) || !MakeTexture(width, height)) return;
    SDL_UpdateTexture(presenter.texture, nullptr, pixels, width * 4);
    SDL_SetRenderDrawColor(presenter.renderer, 0, 0, 0, 255);
    SDL_RenderClear(presenter.renderer);
    const SDL_Rect place = Placement(presenter.renderer, width, height);
    SDL_RenderCopy(presenter.renderer, presenter.texture, nullptr, &place);
    if (!presenter.retrace) {
        const std::int64_t due = pacer.NextShow(Now());
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                std::chrono::nanoseconds(due))));
    }
    const std::int64_t begin = Now();
    SDL_RenderPresent(presenter.renderer);
    const std::int64_t shown = Now();
    if (presenter.retrace && pacer.RetraceIgnored(shown)) {
        SDL_RenderSetVSync(presenter.renderer, 0);
        presenter.retrace = false;
        pacer.Restart();
        if (frameLog) std::fputs("# the retrace did not wait: paced by deadlines\n", frameLog);
    }
    if (frameLog)
        std::fprintf(frameLog, "%lld %lld\n", static_cast<long long>(shown / 1000),
                     static_cast<long long>((shown - begin) / 1000));
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

bool GraphicsAvailable() { return SDL_GetNumRenderDrivers() > 0; }

// The window gets its renderer and frame texture now, so a device is made
// only where its frames can be shown.
bool OpenDevice(void* native, int width, int height) {
    return native && MakeRenderer(static_cast<SDL_Window*>(native)) && MakeTexture(width, height);
}

}  // namespace

const VideoDriver kVideoDriver = {
    .name = "sdl",
    .realTime = true,
    .start = Start,
    .stop = Stop,
    .createWindow = CreateWindow,
    .showWindow = ShowWindow,
    .destroyWindow = DestroyWindow,
    .pumpEvents = PumpEvents,
    .present = Present,
    .messageBox = MessageBox,
    .hasFocus = HasFocus,
    .setRelativeMouse = SetRelativeMouse,
    .graphicsAvailable = GraphicsAvailable,
    .openDevice = OpenDevice,
    .beginFrame = nullptr,
};

}  // namespace platform::sdl
