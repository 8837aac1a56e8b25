#include "engine/input_system.h"

HRESULT InputSystem::Init() {
    return DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A,
                              &directInput, nullptr);
}

HRESULT InputSystem::InitKeyboard(HWND window) {
    if (!directInput) return DIERR_NOTINITIALIZED;
    directInput->CreateDevice(GUID_SysKeyboard, &keyboard, nullptr);
    if (!keyboard) return DIERR_NOTINITIALIZED;
    keyboard->SetDataFormat(&c_dfDIKeyboard);
    keyboard->SetCooperativeLevel(window, DISCL_NONEXCLUSIVE | DISCL_FOREGROUND);
    return keyboard->Acquire();
}

HRESULT InputSystem::InitMouse(HWND window) {
    if (!directInput) return DIERR_NOTINITIALIZED;
    directInput->CreateDevice(GUID_SysMouse, &mouse, nullptr);
    if (!mouse) return DIERR_NOTINITIALIZED;
    mouse->SetDataFormat(&c_dfDIMouse);
    mouse->SetCooperativeLevel(window, DISCL_EXCLUSIVE | DISCL_FOREGROUND);
    return mouse->Acquire();
}

bool InputSystem::KeyDown(int key) {
    if (keyboard && SUCCEEDED(keyboard->GetDeviceState(sizeof(keys), keys)))
        for (std::size_t k = 0; k < sizeof(keys); ++k)
            if (reserved[k]) keys[k] = 0;
    // Codes outside the table are up rather than a read past its end.
    if (key < 0 || key >= static_cast<int>(sizeof(keys))) return false;
    return (keys[key] & 0x80) != 0;
}

DIMOUSESTATE InputSystem::GetMouseState() {
    DIMOUSESTATE state;
    if (!mouse || FAILED(mouse->GetDeviceState(sizeof(state), &state))) return DIMOUSESTATE{};
    return state;
}
