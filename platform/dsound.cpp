// The sound buffers and the mixer that plays them. Buffer calls come from the
// game thread; mixing runs on the audio device's thread (or on the game thread
// when clock-driven). Both meet only under the mixer's lock; sample memory
// handed out by Lock is written by the game while the mixer may read other
// parts of it, as on the original platform.
#include "platform/dsound.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstring>
#include <thread>

#include "platform/audio_mixer.h"
#include "platform/platform.h"

using platform::audio::BufferState;
using platform::audio::TheMixer;

// ---- identifiers ------------------------------------------------------------

const GUID GUID_NULL{};
const GUID IID_IDirectSoundNotify{0x56E1D101, 0x0001, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 1}};
const GUID IID_IDirectSound3DBuffer{
    0x56E1D101, 0x0002, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 2}};
const GUID IID_IDirectSound3DListener{
    0x56E1D101, 0x0003, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 3}};
const GUID DS3DALG_DEFAULT{};
const GUID DS3DALG_NO_VIRTUALIZATION{
    0x56E1D101, 0x0004, 0x4D21, {'v', 'e', 'l', 'm', 'o', 'r', 0, 4}};

// ---- events -----------------------------------------------------------------

namespace {

struct Event {
    std::mutex m;
    std::condition_variable cv;
    bool signaled = false;
    bool manual = false;
};

void Signal(HANDLE h) {
    if (!h) return;
    auto* e = static_cast<Event*>(h);
    {
        std::lock_guard<std::mutex> g(e->m);
        e->signaled = true;
    }
    e->cv.notify_all();
}

}  // namespace

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, const char*) {
    auto* e = new Event;
    e->manual = manualReset != 0;
    e->signaled = initialState != 0;
    return e;
}

BOOL SetEvent(HANDLE event) {
    if (!event) return 0;
    Signal(event);
    return 1;
}

BOOL ResetEvent(HANDLE event) {
    if (!event) return 0;
    auto* e = static_cast<Event*>(event);
    std::lock_guard<std::mutex> g(e->m);
    e->signaled = false;
    return 1;
}

DWORD WaitForSingleObject(HANDLE event, DWORD milliseconds) {
    if (!event) return WAIT_FAILED;
    auto* e = static_cast<Event*>(event);
    std::unique_lock<std::mutex> g(e->m);
    auto ready = [e] { return e->signaled; };
    if (milliseconds == INFINITE)
        e->cv.wait(g, ready);
    else if (!e->cv.wait_for(g, std::chrono::milliseconds(milliseconds), ready))
        return WAIT_TIMEOUT;
    if (!e->manual) e->signaled = false;
    return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE event) {
    if (!event) return 0;
    delete static_cast<Event*>(event);
    return 1;
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// ---- mixer ------------------------------------------------------------------

namespace platform::audio {

Mixer& TheMixer() {
    static Mixer* m = new Mixer;  // lives as long as the audio thread may use it
    return *m;
}

namespace {

float Db100ToGain(LONG hundredths) {
    if (hundredths <= DSBVOLUME_MIN) return 0.0f;
    if (hundredths >= 0) return 1.0f;
    return std::pow(10.0f, static_cast<float>(hundredths) / 2000.0f);
}

D3DVECTOR Sub(const D3DVECTOR& a, const D3DVECTOR& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
float Dot(const D3DVECTOR& a, const D3DVECTOR& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
D3DVECTOR Cross(const D3DVECTOR& a, const D3DVECTOR& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

// Left and right gains of a buffer: volume, pan, and for 3D buffers the
// distance attenuation (min/distance, held between the minimum and maximum
// distance) and a balance from the listener-relative position.
void Gains(const BufferState& b, const Listener& l, float* left, float* right) {
    const float v = Db100ToGain(b.volume);
    float gl = v * (b.pan > 0 ? Db100ToGain(-b.pan) : 1.0f);
    float gr = v * (b.pan < 0 ? Db100ToGain(b.pan) : 1.0f);
    if ((b.flags & DSBCAPS_CTRL3D) && b.params3d.dwMode != DS3DMODE_DISABLE) {
        const D3DVECTOR rel = b.params3d.dwMode == DS3DMODE_HEADRELATIVE
                                  ? b.params3d.vPosition
                                  : Sub(b.params3d.vPosition, l.position);
        const float dist = std::sqrt(Dot(rel, rel));
        const float minD = std::max(b.params3d.flMinDistance, 1e-6f);
        const float maxD = std::max(b.params3d.flMaxDistance, minD);
        const float att = minD / std::clamp(dist, minD, maxD);
        float balance = 0.0f;  // -1 left .. +1 right
        if (dist > 1e-6f) {
            D3DVECTOR right3 = Cross(l.top, l.front);
            const float len = std::sqrt(Dot(right3, right3));
            if (len > 1e-6f) balance = std::clamp(Dot(rel, right3) / (len * dist), -1.0f, 1.0f);
        }
        gl *= att * std::min(1.0f, 1.0f - balance);
        gr *= att * std::min(1.0f, 1.0f + balance);
    }
    *left = gl;
    *right = gr;
}

void FireNotes(const BufferState& b, std::uint32_t frameDone) {
    const std::uint32_t align = b.format.nBlockAlign;
    for (const auto& n : b.notes)
        if (n.dwOffset != DSBPN_OFFSETSTOP && n.dwOffset / align == frameDone)
            Signal(n.hEventNotify);
}

void FireStop(const BufferState& b) {
    for (const auto& n : b.notes)
        if (n.dwOffset == DSBPN_OFFSETSTOP) Signal(n.hEventNotify);
}

inline float SampleAt(const BYTE* p, int bits) {
    if (bits == 8) return static_cast<float>(static_cast<int>(p[0]) - 128) * 256.0f;
    std::int16_t s;
    std::memcpy(&s, p, 2);
    return static_cast<float>(s);
}

void MixBuffer(BufferState& b, const Listener& l, std::int32_t* acc, int frames) {
    const std::uint32_t total = b.Frames();
    if (total == 0) {
        b.playing = false;
        return;
    }
    float gl, gr;
    Gains(b, l, &gl, &gr);
    const BYTE* data = b.data->data();
    const int bits = b.format.wBitsPerSample;
    const int channels = b.format.nChannels;
    const int bytesPerSample = bits / 8;
    const std::uint32_t align = b.format.nBlockAlign;
    const std::uint64_t rate = b.frequency ? b.frequency : b.format.nSamplesPerSec;
    const std::uint64_t step = (rate << 32) / static_cast<std::uint64_t>(platform::kMixRate);
    const bool notes = !b.notes.empty();
    const bool silent = gl == 0.0f && gr == 0.0f;
    for (int i = 0; i < frames; ++i) {
        if (!silent) {
            const std::uint32_t next =
                b.frame + 1 < total ? b.frame + 1 : (b.looping ? 0 : b.frame);
            const BYTE* p0 = data + static_cast<std::size_t>(b.frame) * align;
            const BYTE* p1 = data + static_cast<std::size_t>(next) * align;
            const float t = static_cast<float>(b.frac) * (1.0f / 4294967296.0f);
            float sl = SampleAt(p0, bits);
            float sr = channels == 2 ? SampleAt(p0 + bytesPerSample, bits) : sl;
            if (b.frac) {
                const float nl = SampleAt(p1, bits);
                const float nr = channels == 2 ? SampleAt(p1 + bytesPerSample, bits) : nl;
                sl += (nl - sl) * t;
                sr += (nr - sr) * t;
            }
            acc[2 * i] += static_cast<std::int32_t>(std::lrint(sl * gl));
            acc[2 * i + 1] += static_cast<std::int32_t>(std::lrint(sr * gr));
        }
        const std::uint64_t pos = static_cast<std::uint64_t>(b.frac) + step;
        b.frac = static_cast<std::uint32_t>(pos);
        for (std::uint64_t adv = pos >> 32; adv > 0; --adv) {
            if (notes) FireNotes(b, b.frame);
            if (++b.frame >= total) {
                b.frame = 0;
                if (!b.looping) {
                    // Played to its end: stopped and rewound.
                    b.playing = false;
                    b.frac = 0;
                    FireStop(b);
                    return;
                }
            }
        }
    }
}

}  // namespace

void MixBlock(std::int16_t* out, int frames) {
    Mixer& m = TheMixer();
    std::lock_guard<std::mutex> g(m.lock);
    m.accumulator.assign(static_cast<std::size_t>(frames) * 2, 0);
    for (BufferState* b : m.buffers)
        if (b->playing && !b->lost && !b->primary)
            MixBuffer(*b, m.listener, m.accumulator.data(), frames);
    for (std::size_t i = 0; i < m.accumulator.size(); ++i)
        out[i] = static_cast<std::int16_t>(std::clamp(m.accumulator[i], -32768, 32767));
    if (m.tap) m.tap(out, frames);
}

}  // namespace platform::audio

// ---- device -----------------------------------------------------------------

namespace {

bool clockDriven = false;
bool deviceOpen = false;

bool ValidPcm(const WAVEFORMATEX& f) {
    return f.wFormatTag == WAVE_FORMAT_PCM && (f.nChannels == 1 || f.nChannels == 2) &&
           (f.wBitsPerSample == 8 || f.wBitsPerSample == 16) &&
           f.nSamplesPerSec >= DSBFREQUENCY_MIN && f.nSamplesPerSec <= DSBFREQUENCY_MAX &&
           f.nBlockAlign == f.nChannels * f.wBitsPerSample / 8;
}

void Unregister(BufferState* s) {
    auto& m = TheMixer();
    std::lock_guard<std::mutex> g(m.lock);
    m.buffers.erase(std::remove(m.buffers.begin(), m.buffers.end(), s), m.buffers.end());
}

void StartOutput() {
    if (deviceOpen) return;
    if (!clockDriven && !platform::IsHeadless() && platform::audio::OpenAudioDevice()) {
        deviceOpen = true;
        return;
    }
    clockDriven = true;
    platform::audio::StartClockDriven();
}

}  // namespace

HRESULT DirectSoundCreate8(const GUID*, IDirectSound8** out, void* outer) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (outer) return MakeHResult(0x80040110u);  // CLASS_E_NOAGGREGATION
    StartOutput();
    *out = new IDirectSound8;
    return DS_OK;
}

ULONG IDirectSound8::AddRef() { return ++refs; }
ULONG IDirectSound8::Release() {
    const ULONG r = --refs;
    if (r == 0) delete this;
    return r;
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
        if (f.wFormatTag != WAVE_FORMAT_PCM || !ValidPcm(f)) {
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
    {
        auto& m = TheMixer();
        std::lock_guard<std::mutex> g(m.lock);
        m.buffers.push_back(s);
    }
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

// ---- buffer -----------------------------------------------------------------

IDirectSoundBuffer::~IDirectSoundBuffer() {
    Unregister(state);
    delete state;
}

ULONG IDirectSoundBuffer::AddRef() { return ++refs; }
ULONG IDirectSoundBuffer::Release() {
    const ULONG r = --refs;
    if (r == 0) delete this;
    return r;
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
    if (!ValidPcm(*format)) return DSERR_BADFORMAT;
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
    if (was) {
        for (const auto& n : state->notes)
            if (n.dwOffset == DSBPN_OFFSETSTOP) Signal(n.hEventNotify);
    }
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

// ---- notify -------------------------------------------------------------------

ULONG IDirectSoundNotify::AddRef() { return ++refs; }
ULONG IDirectSoundNotify::Release() {
    const ULONG r = --refs;
    if (r == 0) {
        buffer->Release();
        delete this;
    }
    return r;
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

// ---- 3D buffer and listener ------------------------------------------------------

ULONG IDirectSound3DBuffer::AddRef() { return ++refs; }
ULONG IDirectSound3DBuffer::Release() {
    const ULONG r = --refs;
    if (r == 0) {
        buffer->Release();
        delete this;
    }
    return r;
}

HRESULT IDirectSound3DBuffer::GetAllParameters(DS3DBUFFER* params) {
    if (!params) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    *params = buffer->State()->params3d;
    return DS_OK;
}

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

HRESULT IDirectSound3DBuffer::SetMinDistance(float distance, DWORD) {
    if (distance <= 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    buffer->State()->params3d.flMinDistance = distance;
    return DS_OK;
}

HRESULT IDirectSound3DBuffer::SetMaxDistance(float distance, DWORD) {
    if (distance <= 0) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    buffer->State()->params3d.flMaxDistance = distance;
    return DS_OK;
}

HRESULT IDirectSound3DBuffer::SetMode(DWORD mode, DWORD) {
    if (mode > DS3DMODE_DISABLE) return E_INVALIDARG;
    std::lock_guard<std::mutex> g(TheMixer().lock);
    buffer->State()->params3d.dwMode = mode;
    return DS_OK;
}

ULONG IDirectSound3DListener::AddRef() { return ++refs; }
ULONG IDirectSound3DListener::Release() {
    const ULONG r = --refs;
    if (r == 0) delete this;
    return r;
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

HRESULT IDirectSound3DListener::SetOrientation(float fx, float fy, float fz, float tx, float ty,
                                               float tz, DWORD) {
    std::lock_guard<std::mutex> g(TheMixer().lock);
    TheMixer().listener.front = {fx, fy, fz};
    TheMixer().listener.top = {tx, ty, tz};
    return DS_OK;
}

// ---- platform hooks -----------------------------------------------------------------

namespace platform {

void SetMixTap(MixTap tap) {
    auto& m = audio::TheMixer();
    {
        std::lock_guard<std::mutex> g(m.lock);
        m.tap = std::move(tap);
    }
}

void AdvanceAudio(int frames) {
    if (!clockDriven || frames <= 0) return;
    std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
    audio::MixBlock(out.data(), frames);
}

bool AudioIsClockDriven() { return clockDriven; }

void UseClockDrivenAudio() {
    if (deviceOpen) {
        audio::CloseAudioDevice();
        deviceOpen = false;
    }
    clockDriven = true;
}

void MarkBufferLostForTest(IDirectSoundBuffer* buffer) {
    if (!buffer) return;
    std::lock_guard<std::mutex> g(audio::TheMixer().lock);
    buffer->State()->lost = true;
    buffer->State()->playing = false;
}

void MixForTest(std::int16_t* out, int frames) { audio::MixBlock(out, frames); }

WAVEFORMATEX PrimaryFormatForTest() {
    std::lock_guard<std::mutex> g(audio::TheMixer().lock);
    return audio::TheMixer().primaryFormat;
}

int LiveBufferCountForTest() {
    std::lock_guard<std::mutex> g(audio::TheMixer().lock);
    return static_cast<int>(audio::TheMixer().buffers.size());
}

}  // namespace platform
