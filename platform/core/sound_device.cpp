// The sound device: creates buffers (and duplicates that share sample
// memory) and starts the output on first use.
#include <algorithm>
#include <mutex>

#include "platform/core/audio_mixer.h"

using platform::audio::BufferState;
using platform::audio::TheMixer;

const GUID GUID_NULL{};
const GUID IID_IDirectSoundNotify{0x56E1D101, 0x0001, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 1}};
const GUID IID_IDirectSound3DBuffer{
    0x56E1D101, 0x0002, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 2}};
const GUID IID_IDirectSound3DListener{
    0x56E1D101, 0x0003, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 3}};
const GUID DS3DALG_DEFAULT{};
const GUID DS3DALG_NO_VIRTUALIZATION{
    0x56E1D101, 0x0004, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 4}};

HRESULT DirectSoundCreate8(const GUID*, IDirectSound8** out, void* outer) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (outer) return MakeHResult(0x80040110u);  // CLASS_E_NOAGGREGATION
    platform::audio::StartOutput();
    *out = new IDirectSound8;
    return DS_OK;
}

HRESULT IDirectSound8::SetCooperativeLevel(HWND window, DWORD lvl) {
    if (!window || lvl < DSSCL_NORMAL || lvl > DSSCL_WRITEPRIMARY) return E_INVALIDARG;
    level = lvl;
    return DS_OK;
}

HRESULT IDirectSound8::CreateSoundBuffer(const DSBUFFERDESC* desc, IDirectSoundBuffer** out,
                                         void* outer) {
    if (!desc || !out || outer) return E_INVALIDARG;
    *out = nullptr;
    if (desc->dwSize != kDsBufferDescSize && desc->dwSize != sizeof(DSBUFFERDESC))
        return E_INVALIDARG;
    if (level == 0) return DSERR_PRIOLEVELNEEDED;
    auto* s = new BufferState;
    s->flags = desc->dwFlags;
    if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) {
        if (desc->dwBufferBytes != 0 || desc->lpwfxFormat) {
            delete s;
            return E_INVALIDARG;
        }
        s->primary = true;
        s->format = TheMixer().primaryFormat;
        s->data = std::make_shared<std::vector<BYTE>>();
    } else {
        if (!desc->lpwfxFormat) {
            delete s;
            return E_INVALIDARG;
        }
        const WAVEFORMATEX& f = *desc->lpwfxFormat;
        if (f.wFormatTag != WAVE_FORMAT_PCM || !platform::audio::ValidPcm(f)) {
            delete s;
            return DSERR_BADFORMAT;
        }
        if (desc->dwBufferBytes < f.nBlockAlign || desc->dwBufferBytes < 4 ||
            desc->dwBufferBytes > 0x0FFFFFFF ||
            ((desc->dwFlags & DSBCAPS_CTRL3D) && f.nChannels != 1)) {
            delete s;
            return E_INVALIDARG;
        }
        s->format = f;
        s->format.cbSize = 0;
        // New buffers hold silence.
        s->data = std::make_shared<std::vector<BYTE>>(desc->dwBufferBytes,
                                                      f.wBitsPerSample == 8 ? 0x80 : 0x00);
    }
    platform::audio::Register(s);
    *out = new IDirectSoundBuffer(s);
    // No virtualising 3D algorithm exists here: asking for one gets the simple model.
    const bool other3d = (desc->dwFlags & DSBCAPS_CTRL3D) && !s->primary &&
                         !(desc->guid3DAlgorithm == GUID_NULL) &&
                         !(desc->guid3DAlgorithm == DS3DALG_NO_VIRTUALIZATION);
    return other3d ? DS_NO_VIRTUALIZATION : DS_OK;
}

HRESULT IDirectSound8::DuplicateSoundBuffer(IDirectSoundBuffer* original,
                                            IDirectSoundBuffer** out) {
    if (!original || !out) return E_INVALIDARG;
    *out = nullptr;
    auto& m = TheMixer();
    auto* s = new BufferState;
    {
        std::lock_guard<std::mutex> g(m.lock);
        const BufferState& o = *original->State();
        if (o.primary) {
            delete s;
            return DSERR_INVALIDCALL;
        }
        s->data = o.data;
        s->format = o.format;
        s->flags = o.flags & ~DSBCAPS_CTRLPOSITIONNOTIFY;
        s->volume = o.volume;
        s->pan = o.pan;
        s->frequency = o.frequency;
        s->params3d = o.params3d;
        m.buffers.push_back(s);
    }
    *out = new IDirectSoundBuffer(s);
    return DS_OK;
}
