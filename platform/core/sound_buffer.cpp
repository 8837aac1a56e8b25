// Sound buffers: lock/unlock with wrap, play/stop, positions, volume, pan,
// frequency, and the position notifications they signal.
#include <algorithm>
#include <mutex>

#include "platform/core/audio_mixer.h"

using platform::audio::BufferState;
using platform::audio::TheMixer;

IDirectSoundBuffer::~IDirectSoundBuffer() {
    platform::audio::Unregister(state);
    delete state;
}

HRESULT IDirectSoundBuffer::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (iid == IID_IDirectSoundNotify && (state->flags & DSBCAPS_CTRLPOSITIONNOTIFY) &&
        !state->primary) {
        AddRef();
        *out = new IDirectSoundNotify(this);
        return S_OK;
    }
    if (iid == IID_IDirectSound3DBuffer && (state->flags & DSBCAPS_CTRL3D) && !state->primary) {
        AddRef();
        *out = new IDirectSound3DBuffer(this);
        return S_OK;
    }
    if (iid == IID_IDirectSound3DListener && (state->flags & DSBCAPS_CTRL3D) && state->primary) {
        *out = new IDirectSound3DListener;
        return S_OK;
    }
    return E_NOINTERFACE;
}

HRESULT IDirectSoundBuffer::GetStatus(DWORD* status) {
    if (!status) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    *status = 0;
    if (state->playing) *status |= DSBSTATUS_PLAYING;
    if (state->playing && state->looping) *status |= DSBSTATUS_LOOPING;
    if (state->lost) *status |= DSBSTATUS_BUFFERLOST;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFormat(WAVEFORMATEX* format, DWORD size, DWORD* written) {
    if (!format && !written) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    const WAVEFORMATEX f = state->primary ? TheMixer().primaryFormat : state->format;
    if (format) {
        if (size < sizeof f) return E_INVALIDARG;
        *format = f;
    }
    if (written) *written = sizeof f;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFormat(const WAVEFORMATEX* format) {
    if (!state->primary) return DSERR_INVALIDCALL;
    if (!format) return E_INVALIDARG;
    if (!platform::audio::ValidPcm(*format)) return DSERR_BADFORMAT;
    if (format->nAvgBytesPerSec != format->nSamplesPerSec * format->nBlockAlign)
        return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    TheMixer().primaryFormat = *format;
    TheMixer().primaryFormat.cbSize = 0;
    state->format = TheMixer().primaryFormat;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Lock(DWORD offset, DWORD bytes, void** ptr1, DWORD* bytes1, void** ptr2,
                                 DWORD* bytes2, DWORD flags) {
    if (!ptr1 || !bytes1) return E_INVALIDARG;
    *ptr1 = nullptr;
    *bytes1 = 0;
    if (ptr2) *ptr2 = nullptr;
    if (bytes2) *bytes2 = 0;
    if (state->primary) return DSERR_INVALIDCALL;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    if (state->lost) return DSERR_BUFFERLOST;
    const DWORD size = static_cast<DWORD>(state->data->size());
    if (flags & DSBLOCK_FROMWRITECURSOR) {
        DWORD write = state->frame * state->format.nBlockAlign;
        if (state->playing)
            write =
                (write + (state->format.nSamplesPerSec / 100) * state->format.nBlockAlign) % size;
        offset = write;
    }
    if (flags & DSBLOCK_ENTIREBUFFER) bytes = size;
    if (offset >= size || bytes == 0 || bytes > size) return E_INVALIDARG;
    BYTE* base = state->data->data();
    const DWORD first = std::min(bytes, size - offset);
    if (first < bytes && (!ptr2 || !bytes2)) return E_INVALIDARG;
    *ptr1 = base + offset;
    *bytes1 = first;
    if (first < bytes) {
        *ptr2 = base;
        *bytes2 = bytes - first;
    }
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(void* ptr1, DWORD bytes1, void* ptr2, DWORD bytes2) {
    if (state->primary) return DSERR_INVALIDCALL;
    const BYTE* base = state->data->data();
    const std::size_t size = state->data->size();
    auto inside = [&](void* p, DWORD n) {
        if (!p) return n == 0;
        const BYTE* b = static_cast<const BYTE*>(p);
        return b >= base && b + n <= base + size;
    };
    if (!ptr1 || !inside(ptr1, bytes1) || !inside(ptr2, bytes2)) return E_INVALIDARG;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD, DWORD, DWORD flags) {
    if (state->primary) return DS_OK;  // the primary buffer always plays here
    std::lock_guard<std::mutex> g(TheMixer().lock);
    if (state->lost) return DSERR_BUFFERLOST;
    state->playing = true;
    state->looping = (flags & DSBPLAY_LOOPING) != 0;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Stop() {
    std::lock_guard<std::mutex> g(TheMixer().lock);
    const bool was = state->playing;
    state->playing = false;
    if (was) platform::audio::FireStop(*state);
    return DS_OK;
}

HRESULT IDirectSoundBuffer::Restore() {
    std::lock_guard<std::mutex> g(TheMixer().lock);
    state->lost = false;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetCurrentPosition(DWORD* play, DWORD* write) {
    if (state->primary) {
        if (play) *play = 0;
        if (write) *write = 0;
        return DS_OK;
    }
    std::lock_guard<std::mutex> g(TheMixer().lock);
    if (state->lost) return DSERR_BUFFERLOST;
    const DWORD size = static_cast<DWORD>(state->data->size());
    const DWORD p = state->frame * state->format.nBlockAlign;
    if (play) *play = p;
    if (write) {
        *write = state->playing
                     ? (p + (state->format.nSamplesPerSec / 100) * state->format.nBlockAlign) % size
                     : p;
    }
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD position) {
    if (state->primary) return DSERR_INVALIDCALL;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    if (state->lost) return DSERR_BUFFERLOST;
    if (position >= state->data->size()) return E_INVALIDARG;
    state->frame = position / state->format.nBlockAlign;
    state->frac = 0;
    state->pastFrames = 0;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetVolume(LONG* volume) {
    if (!volume) return E_INVALIDARG;
    if (!(state->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    *volume = state->volume;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetVolume(LONG volume) {
    if (!(state->flags & DSBCAPS_CTRLVOLUME)) return DSERR_CONTROLUNAVAIL;
    if (volume < DSBVOLUME_MIN || volume > DSBVOLUME_MAX) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    state->volume = volume;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetPan(LONG* pan) {
    if (!pan) return E_INVALIDARG;
    if (!(state->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    *pan = state->pan;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetPan(LONG pan) {
    if (!(state->flags & DSBCAPS_CTRLPAN)) return DSERR_CONTROLUNAVAIL;
    if (pan < DSBPAN_LEFT || pan > DSBPAN_RIGHT) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    state->pan = pan;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFrequency(DWORD* frequency) {
    if (!frequency) return E_INVALIDARG;
    if (!(state->flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    *frequency = state->frequency ? state->frequency : state->format.nSamplesPerSec;
    return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFrequency(DWORD frequency) {
    if (!(state->flags & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
    if (frequency != DSBFREQUENCY_ORIGINAL &&
        (frequency < DSBFREQUENCY_MIN || frequency > DSBFREQUENCY_MAX))
        return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    state->frequency = frequency;
    return DS_OK;
}

HRESULT IDirectSoundNotify::SetNotificationPositions(DWORD count,
                                                     const DSBPOSITIONNOTIFY* positions) {
    if (count > 0 && !positions) return E_INVALIDARG;
    BufferState* s = buffer->State();
    std::lock_guard<std::mutex> g(TheMixer().lock);
    if (s->playing) return DSERR_INVALIDCALL;
    for (DWORD i = 0; i < count; ++i)
        if (!positions[i].hEventNotify ||
            (positions[i].dwOffset != DSBPN_OFFSETSTOP && positions[i].dwOffset >= s->data->size()))
            return E_INVALIDARG;
    s->notes.assign(positions, positions + count);
    return DS_OK;
}
