/// @file
/// Keyboard and mouse devices shaped like DirectInput 8: create a device, give
/// it a data format and a cooperative level, acquire it, poll its state. Plain
/// C++ objects; Release() deletes. The devices keep their state from the
/// events that drivers and scripts inject (below), so scripted input reads
/// exactly like real input.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/core/script_event.h"
#include "platform/core/types.h"
#include "platform/core/window.h"

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

// clang-format off
/// Every key of a standard 105-key keyboard plus the numpad, the Windows and
/// menu keys, the Japanese/Brazilian extra keys and the common media keys, at
/// their DirectInput scan-code values. KEY_(name, code) names DIK_<name>.
#define VELMOR_DIK_KEYS(KEY_)                                                                      \
    KEY_(ESCAPE, 0x01) KEY_(1, 0x02) KEY_(2, 0x03) KEY_(3, 0x04) KEY_(4, 0x05) KEY_(5, 0x06)       \
    KEY_(6, 0x07) KEY_(7, 0x08) KEY_(8, 0x09) KEY_(9, 0x0A) KEY_(0, 0x0B) KEY_(MINUS, 0x0C)        \
    KEY_(EQUALS, 0x0D) KEY_(BACK, 0x0E) KEY_(TAB, 0x0F) KEY_(Q, 0x10) KEY_(W, 0x11)                \
    KEY_(E, 0x12) KEY_(R, 0x13) KEY_(T, 0x14) KEY_(Y, 0x15) KEY_(U, 0x16) KEY_(I, 0x17)            \
    KEY_(O, 0x18) KEY_(P, 0x19) KEY_(LBRACKET, 0x1A) KEY_(RBRACKET, 0x1B) KEY_(RETURN, 0x1C)       \
    KEY_(LCONTROL, 0x1D) KEY_(A, 0x1E) KEY_(S, 0x1F) KEY_(D, 0x20) KEY_(F, 0x21) KEY_(G, 0x22)     \
    KEY_(H, 0x23) KEY_(J, 0x24) KEY_(K, 0x25) KEY_(L, 0x26) KEY_(SEMICOLON, 0x27)                  \
    KEY_(APOSTROPHE, 0x28) KEY_(GRAVE, 0x29) KEY_(LSHIFT, 0x2A) KEY_(BACKSLASH, 0x2B)              \
    KEY_(Z, 0x2C) KEY_(X, 0x2D) KEY_(C, 0x2E) KEY_(V, 0x2F) KEY_(B, 0x30) KEY_(N, 0x31)            \
    KEY_(M, 0x32) KEY_(COMMA, 0x33) KEY_(PERIOD, 0x34) KEY_(SLASH, 0x35) KEY_(RSHIFT, 0x36)        \
    KEY_(MULTIPLY, 0x37) KEY_(LMENU, 0x38) KEY_(SPACE, 0x39) KEY_(CAPITAL, 0x3A) KEY_(F1, 0x3B)    \
    KEY_(F2, 0x3C) KEY_(F3, 0x3D) KEY_(F4, 0x3E) KEY_(F5, 0x3F) KEY_(F6, 0x40) KEY_(F7, 0x41)      \
    KEY_(F8, 0x42) KEY_(F9, 0x43) KEY_(F10, 0x44) KEY_(NUMLOCK, 0x45) KEY_(SCROLL, 0x46)           \
    KEY_(NUMPAD7, 0x47) KEY_(NUMPAD8, 0x48) KEY_(NUMPAD9, 0x49) KEY_(SUBTRACT, 0x4A)               \
    KEY_(NUMPAD4, 0x4B) KEY_(NUMPAD5, 0x4C) KEY_(NUMPAD6, 0x4D) KEY_(ADD, 0x4E)                    \
    KEY_(NUMPAD1, 0x4F) KEY_(NUMPAD2, 0x50) KEY_(NUMPAD3, 0x51) KEY_(NUMPAD0, 0x52)                \
    KEY_(DECIMAL, 0x53) KEY_(OEM_102, 0x56) KEY_(F11, 0x57) KEY_(F12, 0x58) KEY_(F13, 0x64)        \
    KEY_(F14, 0x65) KEY_(F15, 0x66) KEY_(KANA, 0x70) KEY_(ABNT_C1, 0x73) KEY_(CONVERT, 0x79)       \
    KEY_(NOCONVERT, 0x7B) KEY_(YEN, 0x7D) KEY_(ABNT_C2, 0x7E) KEY_(NUMPADEQUALS, 0x8D)             \
    KEY_(PREVTRACK, 0x90) KEY_(NEXTTRACK, 0x99) KEY_(NUMPADENTER, 0x9C) KEY_(RCONTROL, 0x9D)       \
    KEY_(MUTE, 0xA0) KEY_(CALCULATOR, 0xA1) KEY_(PLAYPAUSE, 0xA2) KEY_(MEDIASTOP, 0xA4)            \
    KEY_(VOLUMEDOWN, 0xAE) KEY_(VOLUMEUP, 0xB0) KEY_(WEBHOME, 0xB2) KEY_(NUMPADCOMMA, 0xB3)        \
    KEY_(DIVIDE, 0xB5) KEY_(SYSRQ, 0xB7) KEY_(RMENU, 0xB8) KEY_(PAUSE, 0xC5) KEY_(HOME, 0xC7)      \
    KEY_(UP, 0xC8) KEY_(PRIOR, 0xC9) KEY_(LEFT, 0xCB) KEY_(RIGHT, 0xCD) KEY_(END, 0xCF)            \
    KEY_(DOWN, 0xD0) KEY_(NEXT, 0xD1) KEY_(INSERT, 0xD2) KEY_(DELETE, 0xD3) KEY_(LWIN, 0xDB)       \
    KEY_(RWIN, 0xDC) KEY_(APPS, 0xDD) KEY_(POWER, 0xDE) KEY_(SLEEP, 0xDF) KEY_(WEBSEARCH, 0xE5)    \
    KEY_(WEBFAVORITES, 0xE6) KEY_(WEBREFRESH, 0xE7) KEY_(WEBSTOP, 0xE8) KEY_(WEBFORWARD, 0xE9)     \
    KEY_(WEBBACK, 0xEA) KEY_(MYCOMPUTER, 0xEB) KEY_(MAIL, 0xEC) KEY_(MEDIASELECT, 0xED)

/// The customary second names of some keys.
#define VELMOR_DIK_ALIASES(KEY_)                                                                   \
    KEY_(BACKSPACE, 0x0E) KEY_(NUMPADSTAR, 0x37) KEY_(LALT, 0x38) KEY_(CAPSLOCK, 0x3A)             \
    KEY_(NUMPADMINUS, 0x4A) KEY_(NUMPADPLUS, 0x4E) KEY_(NUMPADPERIOD, 0x53)                        \
    KEY_(NUMPADSLASH, 0xB5) KEY_(RALT, 0xB8) KEY_(UPARROW, 0xC8) KEY_(PGUP, 0xC9)                  \
    KEY_(LEFTARROW, 0xCB) KEY_(RIGHTARROW, 0xCD) KEY_(DOWNARROW, 0xD0) KEY_(PGDN, 0xD1)
// clang-format on

#define VELMOR_DIK_CONSTANT(name, code) constexpr BYTE DIK_##name = code;
VELMOR_DIK_KEYS(VELMOR_DIK_CONSTANT)
VELMOR_DIK_ALIASES(VELMOR_DIK_CONSTANT)
#undef VELMOR_DIK_CONSTANT

constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOEFFECT = S_FALSE;
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_OUTOFMEMORY = E_OUTOFMEMORY;
constexpr HRESULT DIERR_NOTINITIALIZED = MakeHResult(0x80070015u);
constexpr HRESULT DIERR_NOTACQUIRED = MakeHResult(0x8007000Cu);
constexpr HRESULT DIERR_INPUTLOST = MakeHResult(0x8007001Eu);
constexpr HRESULT DIERR_ACQUIRED = MakeHResult(0x800700AAu);
constexpr HRESULT DIERR_OTHERAPPHASPRIO = MakeHResult(0x80070005u);
constexpr HRESULT DIERR_NOINTERFACE = MakeHResult(0x80004002u);
constexpr HRESULT DIERR_DEVICENOTREG = MakeHResult(0x80040154u);
constexpr HRESULT DIERR_BETADIRECTINPUTVERSION = MakeHResult(0x80070481u);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = MakeHResult(0x8007047Eu);

constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;

extern const GUID IID_IDirectInput8A;
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;

/// What GetDeviceState delivers: 256 key bytes, or a relative DIMOUSESTATE.
struct DIDATAFORMAT {
    DWORD dwFlags;     ///< DIDF_ABSAXIS or DIDF_RELAXIS
    DWORD dwDataSize;  ///< bytes GetDeviceState writes
};
constexpr DWORD DIDF_ABSAXIS = 1;
constexpr DWORD DIDF_RELAXIS = 2;
extern const DIDATAFORMAT c_dfDIKeyboard;
extern const DIDATAFORMAT c_dfDIMouse;

/// The mouse record of c_dfDIMouse: motion along x, y and the wheel since the
/// previous read, and buttons left, right, middle, X1 (bit 0x80 = down).
struct DIMOUSESTATE {
    LONG lX = 0;
    LONG lY = 0;
    LONG lZ = 0;
    BYTE rgbButtons[4] = {0, 0, 0, 0};
};
static_assert(sizeof(DIMOUSESTATE) == 16);

/// One keyboard or mouse. State is polled with GetDeviceState while the device
/// is acquired. A foreground device is lost when its window loses the focus
/// (reads then fail with DIERR_INPUTLOST) and is acquired again when the
/// window regains it. An exclusive foreground mouse hides the system pointer
/// over the window and reads raw relative motion while acquired.
class IDirectInputDevice8A {
  public:
    enum class Kind { kKeyboard, kMouse };
    explicit IDirectInputDevice8A(Kind kind);
    ~IDirectInputDevice8A();
    IDirectInputDevice8A(const IDirectInputDevice8A&) = delete;
    IDirectInputDevice8A& operator=(const IDirectInputDevice8A&) = delete;

    HRESULT SetDataFormat(const DIDATAFORMAT* format);
    HRESULT SetCooperativeLevel(HWND window, DWORD flags);
    HRESULT Acquire();
    HRESULT Unacquire();
    HRESULT GetDeviceState(DWORD size, void* data);
    ULONG Release();

  private:
    friend struct InputDeviceAccess;
    Kind kind_;
    DWORD dataSize_ = 0;
    DWORD cooperation_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    HWND window_ = nullptr;
    bool wanted_ = false;    ///< Acquire was asked for and not taken back
    bool acquired_ = false;  ///< reads succeed
    bool lost_ = false;      ///< taken away by a focus loss
    bool read_ = false;      ///< a mouse the game has read with the window in front
    std::int64_t motion_[3] = {0, 0, 0};
};

class IDirectInput8A {
  public:
    HRESULT CreateDevice(REFGUID device, IDirectInputDevice8A** out, void* outer);
    ULONG Release();
};

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, IDirectInput8A** out,
                           void* outer);

namespace platform {

/// The DIK_ code of a key name such as "DIK_LEFT" (case-insensitive), or -1.
int DikFromName(std::string_view name);
/// The key's own name ("DIK_LEFT"), or null for a code no key has.
const char* DikName(int dik);

/// Whether a DIK_ code is a key the keyboard has (one the system can report).
bool IsKeyboardKey(int dik);

/// What the user did, as drivers report it and scripts replay it: every
/// input takes this one road. `button` is 0 left, 1 right, 2 middle, 3 X1; a
/// wheel notch reads as 120 units of z motion; keys that are not on the
/// keyboard are ignored. A close request posts WM_CLOSE to the main window.
void InjectKey(int dik, bool down);
void InjectMouseMotion(LONG dx, LONG dy);
void InjectMouseWheel(int notches);
void InjectMouseButton(int button, bool down);
void InjectFocus(bool focused);
void InjectClose();

/// Whether Escape going down closes the main window (the default). A program
/// that gives Escape a meaning of its own turns this off.
void SetEscapeCloses(bool closes);

/// Sees every injection as the script event that replays it (`--record`):
/// motion and wheel only when a mouse took them in; Escape's close is not
/// shown apart from its key. An empty observer stops it.
using InputObserver = std::function<void(const ScriptEvent&)>;
void SetInputObserver(InputObserver observer);

/// True while no focus event has come and some device waits for the window
/// to come to the front before it is acquired.
bool DevicesAwaitFocus();

}  // namespace platform
