// 3D buffers and the listener: positions and distances the mixer turns
// into left and right gains.
#include <mutex>

#include "platform/core/audio_mixer.h"

using platform::audio::TheMixer;

HRESULT IDirectSound3DBuffer::SetAllParameters(const DS3DBUFFER* params, DWORD) {
    if (!params || params->flMinDistance <= 0 || params->flMaxDistance < params->flMinDistance ||
        params->dwMode > DS3DMODE_DISABLE)
        return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    buffer->State()->params3d = *params;
    return DS_OK;
}

HRESULT IDirectSound3DBuffer::SetPosition(float x, float y, float z, DWORD) {
    std::lock_guard<std::mutex> g(TheMixer().lock);
    buffer->State()->params3d.vPosition = {x, y, z};
    return DS_OK;
}

HRESULT IDirectSound3DListener::SetPosition(float x, float y, float z, DWORD) {
    std::lock_guard<std::mutex> g(TheMixer().lock);
    TheMixer().listener.position = {x, y, z};
    return DS_OK;
}

HRESULT IDirectSound3DListener::GetPosition(D3DVECTOR* position) {
    if (!position) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    *position = TheMixer().listener.position;
    return DS_OK;
}
