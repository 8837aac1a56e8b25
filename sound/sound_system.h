/// @file
/// The engine's sound manager: owns the one sound device of the process.
#pragma once

#include "platform/core/dsound.h"

class CSoundDevice;

class SoundSystem {
  public:
    SoundSystem() = default;
    /// Creates the device for the window at the priority cooperative level.
    HRESULT Init(HWND window);

    CSoundDevice* device = nullptr;
};
