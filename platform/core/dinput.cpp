// The keyboard and mouse devices: identifiers, data formats, key names, and
// every rule of their state (focus, acquisition, relative motion). Drivers
// and scripts feed events in through the Inject* calls.
#include "platform/core/dinput.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "platform/core/context.h"
#include "platform/core/internal.h"
#include "platform/driver.h"

// Our own identifiers: only their distinctness matters.
const GUID IID_IDirectInput8A = {0x7656C001u, 0x0001, 0x0001, {0, 0, 0, 0, 0, 0, 0, 1}};
const GUID GUID_SysKeyboard = {0x7656C001u, 0x0002, 0x0001, {0, 0, 0, 0, 0, 0, 0, 2}};
const GUID GUID_SysMouse = {0x7656C001u, 0x0002, 0x0002, {0, 0, 0, 0, 0, 0, 0, 3}};

const DIDATAFORMAT c_dfDIKeyboard = {DIDF_RELAXIS, 256};
const DIDATAFORMAT c_dfDIMouse = {DIDF_RELAXIS, sizeof(DIMOUSESTATE)};

namespace platform {

int DikFromName(std::string_view name) {
    struct Named {
        const char* name;
        int code;
    };
#define VELMOR_DIK_NAMED(name, code) {"DIK_" #name, code},
    static constexpr Named kNames[] = {VELMOR_DIK_KEYS(VELMOR_DIK_NAMED)
                                           VELMOR_DIK_ALIASES(VELMOR_DIK_NAMED)};
#undef VELMOR_DIK_NAMED
    for (const Named& n : kNames) {
        const std::string_view candidate(n.name);
        if (candidate.size() != name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i)
            same = std::toupper(static_cast<unsigned char>(name[i])) == candidate[i];
        if (same) return n.code;
    }
    return -1;
}

const char* DikName(int dik) {
    switch (dik) {
#define VELMOR_DIK_CASE(name, code) \
    case code:                      \
        return "DIK_" #name;
        VELMOR_DIK_KEYS(VELMOR_DIK_CASE)
#undef VELMOR_DIK_CASE
        default:
            return nullptr;
    }
}

}  // namespace platform

// Lets the focus rules below reach the devices' private state.
struct InputDeviceAccess {
    static IDirectInputDevice8A::Kind Kind(const IDirectInputDevice8A& d) { return d.kind_; }
    static DWORD Cooperation(const IDirectInputDevice8A& d) { return d.cooperation_; }
    static bool Wanted(const IDirectInputDevice8A& d) { return d.wanted_; }
    static bool Acquired(const IDirectInputDevice8A& d) { return d.acquired_; }
    static bool Read(const IDirectInputDevice8A& d) { return d.read_; }
    static void Lose(IDirectInputDevice8A& d) {
        d.acquired_ = false;
        d.lost_ = true;
        d.read_ = false;
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

// A key or button that goes down is also latched: it reads as down until a
// poll has shown it and that frame has been presented, so a press and
// release between two polls is still seen once.
template <std::size_t N>
struct Switches {
    BYTE held[N] = {};
    bool latched[N] = {};  // went down since a presented poll showed it
    bool shown[N] = {};    // the latch was read in the frame being made

    void Set(std::size_t i, bool down) {
        held[i] = down ? 0x80 : 0;
        if (down) latched[i] = true;
    }
    // What a poll sees: held, or pressed since the last frame's poll.
    void Read(BYTE* out) {
        for (std::size_t i = 0; i < N; ++i) {
            out[i] = held[i] | (latched[i] ? 0x80 : 0);
            shown[i] = shown[i] || latched[i];
        }
    }
    void EndFrame() {
        for (std::size_t i = 0; i < N; ++i)
            if (shown[i]) latched[i] = shown[i] = false;
    }
    void Clear() { *this = Switches{}; }
};

struct Hub {
    Switches<256> keys;
    Switches<4> buttons;
    std::vector<IDirectInputDevice8A*> devices;
    int focus = -1;  // -1 not yet told by an event, 0 lost, 1 focused
    bool relativeMode = false;
    bool escapeCloses = true;
    platform::InputObserver observer;
};

Hub& TheHub() { return platform::detail::Ctx().input.Get<Hub>(); }

using platform::detail::Video;

void* MainNative() { return platform::detail::NativeWindowOf(platform::MainWindow()); }

// Whether the program's window has the keyboard focus: what the last focus
// event said, else what the driver says; a headless window is in front.
bool HasFocus() {
    const Hub& hub = TheHub();
    if (hub.focus >= 0) return hub.focus == 1;
    void* w = MainNative();
    if (!w || !Video() || !Video()->hasFocus) return true;
    return Video()->hasFocus(w);
}

bool InForeground(const IDirectInputDevice8A& d) {
    return !(Access::Cooperation(d) & DISCL_FOREGROUND) || HasFocus();
}

// An exclusive mouse that is acquired owns the pointer once the game reads
// it with the window in front: the driver hides the pointer and reports raw
// motion. A game that never reads the mouse leaves the pointer free. Only a
// real window has a pointer.
void UpdateRelativeMode() {
    Hub& hub = TheHub();
    bool want = false;
    for (IDirectInputDevice8A* d : hub.devices)
        want = want || (Access::Kind(*d) == Kind::kMouse && Access::Acquired(*d) &&
                        Access::Read(*d) && (Access::Cooperation(*d) & DISCL_EXCLUSIVE));
    if (!MainNative()) want = false;
    if (want == hub.relativeMode) return;
    hub.relativeMode = want;
    if (Video() && Video()->setRelativeMouse) Video()->setRelativeMouse(want);
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
        hub.keys.Clear();
        hub.buttons.Clear();
        for (IDirectInputDevice8A* d : hub.devices)
            if (Access::Acquired(*d) && (Access::Cooperation(*d) & DISCL_FOREGROUND))
                Access::Lose(*d);
    }
    UpdateRelativeMode();
}

// Whether any mouse took the motion in.
bool AddMotion(std::int64_t dx, std::int64_t dy, std::int64_t dz) {
    bool taken = false;
    for (IDirectInputDevice8A* d : TheHub().devices)
        if (Access::Kind(*d) == Kind::kMouse && Access::Acquired(*d)) {
            Access::AddMotion(*d, dx, dy, dz);
            taken = true;
        }
    return taken;
}

// Tells the recorder, if any, of one injected event.
void Observe(platform::ScriptEvent::Kind kind, int code = 0, bool down = false, LONG dx = 0,
             LONG dy = 0, int notches = 0) {
    if (!TheHub().observer) return;
    platform::ScriptEvent e;
    e.kind = kind;
    e.code = code;
    e.down = down;
    e.dx = dx;
    e.dy = dy;
    e.notches = notches;
    TheHub().observer(e);
}

void PostClose() {
    if (HWND main = platform::MainWindow()) PostMessageA(main, WM_CLOSE, 0, 0);
}

LONG Clamp(std::int64_t v) {
    return static_cast<LONG>(std::clamp<std::int64_t>(v, std::numeric_limits<LONG>::min(),
                                                      std::numeric_limits<LONG>::max()));
}

}  // namespace

IDirectInputDevice8A::IDirectInputDevice8A(Kind kind) : kind_(kind) {
    TheHub().devices.push_back(this);
}

// A device that outlives its context is in no list and leaves none.
IDirectInputDevice8A::~IDirectInputDevice8A() {
    if (!platform::detail::ExistingCtx()) return;
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
    Hub& hub = TheHub();
    if (kind_ == Kind::kKeyboard) {
        hub.keys.Read(static_cast<BYTE*>(data));
        return DI_OK;
    }
    DIMOUSESTATE state;
    state.lX = Clamp(motion_[0]);
    state.lY = Clamp(motion_[1]);
    state.lZ = Clamp(motion_[2]);
    hub.buttons.Read(state.rgbButtons);
    std::fill(std::begin(motion_), std::end(motion_), 0);
    std::memcpy(data, &state, sizeof(state));
    if (!read_ && HasFocus()) {
        read_ = true;
        UpdateRelativeMode();
    }
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

bool IsKeyboardKey(int dik) {
    static const auto kKeys = [] {
        std::array<bool, 256> keys{};
#define VELMOR_DIK_MARK(name, code) keys[code] = true;
        VELMOR_DIK_KEYS(VELMOR_DIK_MARK)
#undef VELMOR_DIK_MARK
        // Linux has no key code for the Brazilian keypad dot: no keyboard
        // here can report it.
        keys[DIK_ABNT_C2] = false;
        return keys;
    }();
    return dik >= 0 && dik < 256 && kKeys[static_cast<std::size_t>(dik)];
}

// Each injection that changes what the devices hold is shown to the
// observer as the script event that replays it.
void InjectKey(int dik, bool down) {
    if (!IsKeyboardKey(dik)) return;
    TheHub().keys.Set(static_cast<std::size_t>(dik), down);
    Observe(ScriptEvent::Kind::kKey, dik, down);
    // Escape closes the window the way its close button does (the key
    // alone replays that close).
    if (dik == DIK_ESCAPE && down && TheHub().escapeCloses) PostClose();
}

void InjectMouseMotion(LONG dx, LONG dy) {
    if (!AddMotion(dx, dy, 0)) return;
    Observe(ScriptEvent::Kind::kMouse, 0, false, dx, dy);
}

void InjectMouseWheel(int notches) {
    if (!AddMotion(0, 0, std::int64_t{notches} * kWheelDelta)) return;
    Observe(ScriptEvent::Kind::kWheel, 0, false, 0, 0, notches);
}

void InjectMouseButton(int button, bool down) {
    if (button < 0 || button > 3) return;
    TheHub().buttons.Set(static_cast<std::size_t>(button), down);
    Observe(ScriptEvent::Kind::kButton, button, down);
}

void InjectFocus(bool focused) {
    OnFocus(focused);
    Observe(ScriptEvent::Kind::kFocus, 0, focused);
}

void InjectClose() {
    PostClose();
    Observe(ScriptEvent::Kind::kClose);
}

void SetInputObserver(InputObserver observer) { TheHub().observer = std::move(observer); }

void SetEscapeCloses(bool closes) { TheHub().escapeCloses = closes; }

bool DevicesAwaitFocus() {
    const Hub& hub = TheHub();
    if (hub.focus >= 0) return false;
    for (IDirectInputDevice8A* d : hub.devices)
        if (Access::Wanted(*d) && !Access::Acquired(*d)) return true;
    return false;
}

}  // namespace platform

namespace platform::detail {

void EndInputFrame() {
    TheHub().keys.EndFrame();
    TheHub().buttons.EndFrame();
}

}  // namespace platform::detail
