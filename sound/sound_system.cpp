#include "sound/sound_system.h"

#include "sound/sound_device.h"

HRESULT SoundSystem::Init(HWND window) {
    device = new CSoundDevice();
    return device->Initialize(window, DSSCL_PRIORITY);
}
