// The engine's sound manager. (The sound device arrives with the sound work.)
#pragma once

#include "platform/types.h"
#include "platform/window.h"

class SoundSystem {
public:
    HRESULT Init(HWND) { return S_OK; }
};
