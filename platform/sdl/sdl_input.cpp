// SDL2 back end of the keyboard and mouse devices. The state is kept here
// from SDL's keyboard, motion, wheel, button and focus events, never from
// SDL's own state queries: those do not see injected events, and injected
// (scripted, test) input must read exactly like real input.
#include <SDL2/SDL.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "platform/dinput.h"
#include "platform/internal.h"
#include "platform/sdl/sdl_events.h"
#include "platform/sdl/sdl_keymap.h"

// Lets the event handlers below reach the devices' private state.
struct InputDeviceAccess {
    static IDirectInputDevice8A::Kind Kind(const IDirectInputDevice8A& d) { return d.kind_; }
    static DWORD Cooperation(const IDirectInputDevice8A& d) { return d.cooperation_; }
    static bool Wanted(const IDirectInputDevice8A& d) { return d.wanted_; }
    static bool Acquired(const IDirectInputDevice8A& d) { return d.acquired_; }
    static void Lose(IDirectInputDevice8A& d) {
        d.acquired_ = false;
        d.lost_ = true;
        std::fill(std::begin(d.motion_), std::end(d.motion_), 0);
    }
    static void Regain(IDirectInputDevice8A& d) {
        d.acquired_ = true;
        d.lost_ = false;
        std::fill(std::begin(d.motion_), std::end(d.motion_), 0);
    }
    static void AddMotion(IDirectInputDevice8A& d, std::int64_t dx, std::int64_t dy,
                          std::int64_t dz) {
        d.motion_[0] += dx;
        d.motion_[1] += dy;
        d.motion_[2] += dz;
    }
};

namespace {

using Access = InputDeviceAccess;
using Kind = IDirectInputDevice8A::Kind;

constexpr LONG kWheelDelta = 120;  // z units of one wheel notch

struct Hub {
    BYTE keys[256] = {};
    BYTE buttons[4] = {};
    std::vector<IDirectInputDevice8A*> devices;
    int focus = -1;  // -1 not yet told by an event, 0 lost, 1 focused
    bool relativeMode = false;
};

void OnEvent(const SDL_Event& e);

Hub& TheHub() {
    static Hub hub;
    static const int handler = platform::sdl::AddEventHandler(OnEvent);
    (void)handler;
    return hub;
}

SDL_Window* MainNative() {
    return static_cast<SDL_Window*>(platform::detail::NativeWindowOf(platform::MainWindow()));
}

Uint32 MainWindowId() {
    SDL_Window* w = MainNative();
    return w ? SDL_GetWindowID(w) : 0;
}

// Whether the program's window has the keyboard focus. Headless, the
// offscreen window is always in front unless a focus event said otherwise.
bool HasFocus() {
    const Hub& hub = TheHub();
    if (hub.focus >= 0) return hub.focus == 1;
    SDL_Window* w = MainNative();
    if (!w) return true;
    return (SDL_GetWindowFlags(w) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

bool InForeground(const IDirectInputDevice8A& d) {
    return !(Access::Cooperation(d) & DISCL_FOREGROUND) || HasFocus();
}

// An exclusive mouse that is acquired owns the pointer: SDL's relative mode
// hides it and reports raw motion. Only a real window has a pointer.
void UpdateRelativeMode() {
    Hub& hub = TheHub();
    bool want = false;
    for (IDirectInputDevice8A* d : hub.devices)
        want = want || (Access::Kind(*d) == Kind::kMouse && Access::Acquired(*d) &&
                        (Access::Cooperation(*d) & DISCL_EXCLUSIVE));
    const bool video = SDL_WasInit(SDL_INIT_VIDEO) != 0;
    if (!MainNative() || !video) want = false;
    if (want == hub.relativeMode) return;
    hub.relativeMode = want;
    if (video) SDL_SetRelativeMouseMode(want ? SDL_TRUE : SDL_FALSE);
}

void OnFocus(bool focused) {
    Hub& hub = TheHub();
    hub.focus = focused ? 1 : 0;
    if (focused) {
        for (IDirectInputDevice8A* d : hub.devices)
            if (Access::Wanted(*d) && !Access::Acquired(*d)) Access::Regain(*d);
    } else {
        // Releases that happen elsewhere are never reported to us: start
        // from nothing held, and let the next events say what is.
        std::fill(std::begin(hub.keys), std::end(hub.keys), 0);
        std::fill(std::begin(hub.buttons), std::end(hub.buttons), 0);
        for (IDirectInputDevice8A* d : hub.devices)
            if (Access::Acquired(*d) && (Access::Cooperation(*d) & DISCL_FOREGROUND))
                Access::Lose(*d);
    }
    UpdateRelativeMode();
}

void AddMotion(std::int64_t dx, std::int64_t dy, std::int64_t dz) {
    for (IDirectInputDevice8A* d : TheHub().devices)
        if (Access::Kind(*d) == Kind::kMouse && Access::Acquired(*d))
            Access::AddMotion(*d, dx, dy, dz);
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

void OnEvent(const SDL_Event& e) {
    Hub& hub = TheHub();
    switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const BYTE dik = platform::sdl::DikFromScancode(e.key.keysym.scancode);
            if (dik) hub.keys[dik] = e.type == SDL_KEYDOWN ? 0x80 : 0;
            break;
        }
        case SDL_MOUSEMOTION:
            AddMotion(e.motion.xrel, e.motion.yrel, 0);
            break;
        case SDL_MOUSEWHEEL: {
            const std::int64_t notches =
                e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
            AddMotion(0, 0, notches * kWheelDelta);
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            const int i = ButtonIndex(e.button.button);
            if (i >= 0) hub.buttons[i] = e.type == SDL_MOUSEBUTTONDOWN ? 0x80 : 0;
            break;
        }
        case SDL_WINDOWEVENT: {
            const Uint32 main = MainWindowId();
            if (main != 0 && e.window.windowID != main) break;
            const Uint8 what = e.window.event;
            if (what == SDL_WINDOWEVENT_FOCUS_GAINED || what == SDL_WINDOWEVENT_FOCUS_LOST)
                OnFocus(what == SDL_WINDOWEVENT_FOCUS_GAINED);
            // Giving the window a renderer may remake its native window, which
            // then shows the system pointer again: hide it anew whenever the
            // window appears or the pointer comes in.
            if (hub.relativeMode && SDL_WasInit(SDL_INIT_VIDEO) &&
                (what == SDL_WINDOWEVENT_SHOWN || what == SDL_WINDOWEVENT_EXPOSED ||
                 what == SDL_WINDOWEVENT_ENTER || what == SDL_WINDOWEVENT_FOCUS_GAINED))
                SDL_SetCursor(nullptr);
            break;
        }
        default:
            break;
    }
}

LONG Clamp(std::int64_t v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min(),
                                                      std::numeric_limits<LONG>::max()));
}

void Push(SDL_Event* e) {
    TheHub();  // the state is kept from the first injected event on
    if (!SDL_WasInit(SDL_INIT_EVENTS)) return;
    e->common.timestamp = SDL_GetTicks();
    // A full queue is drained into the devices once, so nothing is dropped.
    if (SDL_PushEvent(e) < 0) {
        platform::detail::PumpSystemEvents();
        SDL_PushEvent(e);
    }
}

}  // namespace

IDirectInputDevice8A::IDirectInputDevice8A(Kind kind) : kind_(kind) {
    TheHub().devices.push_back(this);
}

IDirectInputDevice8A::~IDirectInputDevice8A() {
    auto& devices = TheHub().devices;
    devices.erase(std::remove(devices.begin(), devices.end(), this), devices.end());
    UpdateRelativeMode();
}

HRESULT IDirectInputDevice8A::SetDataFormat(const DIDATAFORMAT* format) {
    if (acquired_) return DIERR_ACQUIRED;
    if (!format) return DIERR_INVALIDPARAM;
    const DWORD expected = kind_ == Kind::kKeyboard ? 256 : sizeof(DIMOUSESTATE);
    if (format->dwDataSize != expected) return DIERR_INVALIDPARAM;
    dataSize_ = format->dwDataSize;
    return DI_OK;
}

HRESULT IDirectInputDevice8A::SetCooperativeLevel(HWND window, DWORD flags) {
    if (acquired_) return DIERR_ACQUIRED;
    const bool oneSharing = !(flags & DISCL_EXCLUSIVE) != !(flags & DISCL_NONEXCLUSIVE);
    const bool oneScope = !(flags & DISCL_FOREGROUND) != !(flags & DISCL_BACKGROUND);
    if (!oneSharing || !oneScope || !IsWindow(window)) return DIERR_INVALIDPARAM;
    window_ = window;
    cooperation_ = flags;
    return DI_OK;
}

HRESULT IDirectInputDevice8A::Acquire() {
    if (dataSize_ == 0) return DIERR_INVALIDPARAM;
    if (acquired_) return DI_NOEFFECT;
    // Wanted from now on: a device that cannot have the input yet gets it as
    // soon as its window comes to the front.
    wanted_ = true;
    if (!InForeground(*this)) return DIERR_OTHERAPPHASPRIO;
    Access::Regain(*this);
    UpdateRelativeMode();
    return DI_OK;
}

HRESULT IDirectInputDevice8A::Unacquire() {
    if (!wanted_ && !acquired_) return DI_NOEFFECT;
    wanted_ = false;
    acquired_ = false;
    lost_ = false;
    UpdateRelativeMode();
    return DI_OK;
}

HRESULT IDirectInputDevice8A::GetDeviceState(DWORD size, void* data) {
    if (!acquired_) return lost_ ? DIERR_INPUTLOST : DIERR_NOTACQUIRED;
    if (!data || size != dataSize_) return DIERR_INVALIDPARAM;
    const Hub& hub = TheHub();
    if (kind_ == Kind::kKeyboard) {
        std::memcpy(data, hub.keys, sizeof(hub.keys));
        return DI_OK;
    }
    DIMOUSESTATE state;
    state.lX = Clamp(motion_[0]);
    state.lY = Clamp(motion_[1]);
    state.lZ = Clamp(motion_[2]);
    std::memcpy(state.rgbButtons, hub.buttons, sizeof(state.rgbButtons));
    std::fill(std::begin(motion_), std::end(motion_), 0);
    std::memcpy(data, &state, sizeof(state));
    return DI_OK;
}

ULONG IDirectInputDevice8A::Release() {
    delete this;
    return 0;
}

HRESULT IDirectInput8A::CreateDevice(REFGUID device, IDirectInputDevice8A** out, void* outer) {
    if (!out) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (outer) return DIERR_NOINTERFACE;
    if (device == GUID_SysKeyboard)
        *out = new IDirectInputDevice8A(Kind::kKeyboard);
    else if (device == GUID_SysMouse)
        *out = new IDirectInputDevice8A(Kind::kMouse);
    else
        return DIERR_DEVICENOTREG;
    return DI_OK;
}

ULONG IDirectInput8A::Release() {
    delete this;
    return 0;
}

HRESULT DirectInput8Create(HINSTANCE, DWORD version, REFIID iid, IDirectInput8A** out,
                           void* outer) {
    if (!out) return DIERR_INVALIDPARAM;
    *out = nullptr;
    if (version > DIRECTINPUT_VERSION) return DIERR_BETADIRECTINPUTVERSION;
    if (version < DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
    if (!(iid == IID_IDirectInput8A) || outer) return DIERR_NOINTERFACE;
    *out = new IDirectInput8A();
    return DI_OK;
}

namespace platform {

bool IsKeyboardKey(int dik) { return sdl::ScancodeFromDik(dik) != SDL_SCANCODE_UNKNOWN; }

void InjectKey(int dik, bool down) {
    const SDL_Scancode scancode = sdl::ScancodeFromDik(dik);
    if (scancode == SDL_SCANCODE_UNKNOWN) return;
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.windowID = MainWindowId();
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = scancode;
    e.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    Push(&e);
}

void InjectMouseMotion(LONG dx, LONG dy) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = MainWindowId();
    e.motion.xrel = dx;
    e.motion.yrel = dy;
    Push(&e);
}

void InjectMouseWheel(int notches) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = MainWindowId();
    e.wheel.y = notches;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    Push(&e);
}

void InjectMouseButton(int button, bool down) {
    static constexpr Uint8 kSdlButton[] = {SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE,
                                           SDL_BUTTON_X1};
    if (button < 0 || button > 3) return;
    SDL_Event e{};
    e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    e.button.windowID = MainWindowId();
    e.button.button = kSdlButton[button];
    e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.button.clicks = 1;
    Push(&e);
}

void InjectFocus(bool focused) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = MainWindowId();
    e.window.event = focused ? SDL_WINDOWEVENT_FOCUS_GAINED : SDL_WINDOWEVENT_FOCUS_LOST;
    Push(&e);
}

void InjectClose() {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = MainWindowId();
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    Push(&e);
}

void ResetInputForTest() {
    Hub& hub = TheHub();
    if (SDL_WasInit(SDL_INIT_EVENTS)) SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    std::fill(std::begin(hub.keys), std::end(hub.keys), 0);
    std::fill(std::begin(hub.buttons), std::end(hub.buttons), 0);
    hub.focus = -1;
}

}  // namespace platform
