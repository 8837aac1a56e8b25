/// @file
/// Immediate-state keyboard and mouse. Every question reads its device
/// afresh: no event queue, no edge detection, no per-frame snapshot.
#pragma once

#include "platform/core/dinput.h"
#include "platform/core/types.h"
#include "platform/core/window.h"

class InputSystem {
  public:
    /// No constructor: the engine value-initialises it (every key up, no
    /// devices). The devices are never released.
    HRESULT Init();
    HRESULT InitKeyboard(HWND window);
    HRESULT InitMouse(HWND window);

    /// Reads the whole keyboard into `keys`, then answers for `key` (a DIK_
    /// code). A failed read leaves `keys` as the last good read left it.
    /// Reserved keys always read as up.
    bool KeyDown(int key);

    /// Keeps a key from the level: the level host reads it from the keyboard
    /// device itself.
    void Reserve(int key) { reserved[key & 0xFF] = true; }

    /// Motion since the previous read and the four buttons; zero motion and
    /// no buttons when the mouse cannot be read.
    DIMOUSESTATE GetMouseState();

    BYTE keys[256];
    bool reserved[256];
    IDirectInput8A* directInput;
    IDirectInputDevice8A* keyboard;
    IDirectInputDevice8A* mouse;
};
