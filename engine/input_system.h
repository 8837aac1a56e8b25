// Immediate-state keyboard and mouse. (Devices arrive with the input work;
// until then every key reads up and the mouse never moves.)
#pragma once

#include <cstdint>

#include "platform/types.h"
#include "platform/window.h"

struct DIMOUSESTATE {
    LONG lX = 0;
    LONG lY = 0;
    LONG lZ = 0;
    BYTE rgbButtons[4] = {0, 0, 0, 0};
};

class InputSystem {
public:
    HRESULT Init() { return S_OK; }
    HRESULT InitKeyboard(HWND) { return S_OK; }
    HRESULT InitMouse(HWND) { return S_OK; }
    bool KeyDown(int key) { return (keys[key] & 0x80) != 0; }
    DIMOUSESTATE GetMouseState() { return DIMOUSESTATE{}; }

    BYTE keys[256] = {};
};
