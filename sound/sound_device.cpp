#include "sound/sound_device.h"

#include <new>
#include <string>
#include <vector>

#include "platform/core/debug.h"
#include "sound/dsutil.h"
#include "sound/sound.h"
#include "sound/streaming_sound.h"

namespace {

// Makes `buffers.size()` buffers of one description: the first is created and
// the others duplicate it, sharing its samples (or, where effects need buffers
// of their own, are created anew). On failure every buffer made so far is
// released, not leaked. *firstResult gets the first creation's own code.
HRESULT MakeBuffers(IDirectSound8* device, DSBUFFERDESC* desc,
                    std::vector<IDirectSoundBuffer*>& buffers, HRESULT* firstResult) {
    HRESULT hr = device->CreateSoundBuffer(desc, &buffers[0], nullptr);
    *firstResult = hr;
    if (FAILED(hr)) {
        DSUTIL_TRACE("CreateSoundBuffer", hr);
    } else {
        for (std::size_t i = 1; i < buffers.size() && SUCCEEDED(hr); ++i) {
            if (desc->dwFlags & DSBCAPS_CTRLFX) {
                hr = device->CreateSoundBuffer(desc, &buffers[i], nullptr);
                if (FAILED(hr)) DSUTIL_TRACE("CreateSoundBuffer", hr);
            } else {
                hr = device->DuplicateSoundBuffer(buffers[0], &buffers[i]);
                if (FAILED(hr)) DSUTIL_TRACE("DuplicateSoundBuffer", hr);
            }
        }
    }
    if (FAILED(hr))
        for (auto*& b : buffers) {
            if (b) b->Release();
            b = nullptr;
        }
    return hr;
}

// Why a WAVE file cannot make a sound buffer, in words for the user.
std::string Unplayable(const CRiffWave& wave, HRESULT hr) {
    if (!wave.m_pwfx)
        return wave.m_failure.empty() ? "not a readable RIFF WAVE file" : wave.m_failure;
    const WAVEFORMATEX& f = *wave.m_pwfx;
    const std::string only = "; only 8- and 16-bit PCM can be played";
    if (f.wFormatTag != WAVE_FORMAT_PCM)
        return "format tag " + std::to_string(f.wFormatTag) + " is not PCM" + only;
    if (f.wBitsPerSample != 8 && f.wBitsPerSample != 16)
        return "it is " + std::to_string(f.wBitsPerSample) + "-bit PCM" + only;
    if (f.nChannels != 1 && f.nChannels != 2)
        return "it has " + std::to_string(f.nChannels) +
               " channels; only mono and stereo can be played";
    if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX)
        return "its sample rate of " + std::to_string(f.nSamplesPerSec) +
               " Hz is outside 100 to 200000 Hz";
    if (f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8)
        return "its block alignment of " + std::to_string(f.nBlockAlign) +
               " bytes does not match its channels and bits";
    if (wave.GetSize() == 0) return "it holds no samples";
    return std::string("it cannot be played (") + GetErrorName(hr) + ")";
}

}  // namespace

CSoundDevice::CSoundDevice() : m_device(nullptr) {}

CSoundDevice::~CSoundDevice() {
    if (m_device) m_device->Release();
    m_device = nullptr;
}

HRESULT CSoundDevice::Initialize(HWND window, DWORD level) {
    if (m_device) {
        m_device->Release();
        m_device = nullptr;
    }
    HRESULT hr = DirectSoundCreate8(nullptr, &m_device, nullptr);
    if (FAILED(hr)) {
        m_device = nullptr;
        return DSUTIL_TRACE("DirectSoundCreate8", hr);
    }
    hr = m_device->SetCooperativeLevel(window, level);
    if (FAILED(hr)) return DSUTIL_TRACE("SetCooperativeLevel", hr);
    return S_OK;
}

HRESULT CSoundDevice::SetPrimaryFormat(WORD channels, DWORD frequency, WORD bits) {
    if (!m_device) return CO_E_NOTINITIALIZED;
    DSBUFFERDESC desc;
    desc.dwSize = kDsBufferDescSize;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    HRESULT hr = m_device->CreateSoundBuffer(&desc, &primary, nullptr);
    if (FAILED(hr)) return DSUTIL_TRACE("CreateSoundBuffer", hr);
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = channels;
    wfx.nSamplesPerSec = frequency;
    wfx.wBitsPerSample = bits;
    wfx.nBlockAlign = static_cast<WORD>((bits / 8) * channels);
    wfx.nAvgBytesPerSec = frequency * wfx.nBlockAlign;
    hr = primary->SetFormat(&wfx);
    if (FAILED(hr)) {
        // The primary buffer is released on failure too (it would leak otherwise).
        primary->Release();
        return DSUTIL_TRACE("SetFormat", hr);
    }
    primary->Release();
    return S_OK;
}

HRESULT CSoundDevice::Get3DListener(IDirectSound3DListener** out) {
    if (!out) return E_INVALIDARG;
    if (!m_device) return CO_E_NOTINITIALIZED;
    *out = nullptr;
    DSBUFFERDESC desc;
    desc.dwSize = kDsBufferDescSize;
    desc.dwFlags = DSBCAPS_CTRL3D | DSBCAPS_PRIMARYBUFFER;
    IDirectSoundBuffer* primary = nullptr;
    HRESULT hr = m_device->CreateSoundBuffer(&desc, &primary, nullptr);
    if (FAILED(hr)) return DSUTIL_TRACE("CreateSoundBuffer", hr);
    hr = primary->QueryInterface(IID_IDirectSound3DListener, reinterpret_cast<void**>(out));
    if (FAILED(hr)) {
        primary->Release();
        return DSUTIL_TRACE("QueryInterface", hr);
    }
    primary->Release();
    return S_OK;
}

HRESULT CSoundDevice::CreateSound(CSound** out, const char* name, DWORD flags, GUID algorithm,
                                  DWORD count) {
    if (!m_device) return CO_E_NOTINITIALIZED;
    if (!name || !out || count == 0) return E_INVALIDARG;
    std::vector<IDirectSoundBuffer*> buffers;
    try {
        buffers.assign(count, nullptr);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    auto* wave = new (std::nothrow) CRiffWave;
    if (!wave) return E_OUTOFMEMORY;
    wave->Open(name, nullptr, WAVEFILE_READ);

    HRESULT result = S_OK;
    HRESULT hr = S_OK;
    if (wave->GetSize() == 0) {
        hr = E_FAIL;
    } else {
        DSBUFFERDESC desc;
        desc.dwSize = kDsBufferDescSize;
        desc.dwFlags = flags;
        desc.dwBufferBytes = wave->GetSize();
        desc.guid3DAlgorithm = algorithm;
        desc.lpwfxFormat = wave->m_pwfx;
        HRESULT first = S_OK;
        hr = MakeBuffers(m_device, &desc, buffers, &first);
        if (first == DS_NO_VIRTUALIZATION) result = DS_NO_VIRTUALIZATION;
    }
    if (FAILED(hr)) {
        platform::ReportLoadFailure(name, Unplayable(*wave, hr));
        delete wave;
        return hr;
    }
    *out = new CSound(buffers.data(), wave->GetSize(), count, wave, flags);
    return result;
}

HRESULT CSoundDevice::CreateSoundFromMemory(CSound** out, BYTE* data, ULONG size,
                                            WAVEFORMATEX* format, DWORD flags, GUID algorithm,
                                            DWORD count) {
    if (!m_device) return CO_E_NOTINITIALIZED;
    if (!data || !out || count == 0 || !format) return E_INVALIDARG;
    std::vector<IDirectSoundBuffer*> buffers(count, nullptr);
    auto* wave = new (std::nothrow) CRiffWave;
    if (!wave) return E_OUTOFMEMORY;
    wave->OpenFromMemory(data, size, format, WAVEFILE_READ);

    DSBUFFERDESC desc;
    desc.dwSize = kDsBufferDescSize;
    desc.dwFlags = flags;
    desc.dwBufferBytes = size;
    desc.guid3DAlgorithm = algorithm;
    desc.lpwfxFormat = format;
    HRESULT first = S_OK;
    const HRESULT hr = MakeBuffers(m_device, &desc, buffers, &first);
    if (FAILED(hr)) {
        delete wave;
        return hr;
    }
    *out = new CSound(buffers.data(), size, count, wave, flags);
    return S_OK;
}

HRESULT CSoundDevice::CreateStreamingSound(CStreamingSound** out, const char* name, DWORD flags,
                                           GUID algorithm, DWORD blockCount, DWORD blockSize,
                                           HANDLE event) {
    if (!m_device) return CO_E_NOTINITIALIZED;
    if (!name || !out || !event || blockCount == 0 || blockSize == 0) return E_INVALIDARG;
    // The ring must fit the buffer size field.
    if (static_cast<std::uint64_t>(blockCount) * blockSize > 0x0FFFFFFF) return E_INVALIDARG;
    auto* wave = new (std::nothrow) CRiffWave;
    if (!wave) return E_OUTOFMEMORY;
    // Its result is not looked at: an unreadable wave has no format, and the
    // buffer creation below refuses that.
    wave->Open(name, nullptr, WAVEFILE_READ);
    const DWORD ringBytes = blockCount * blockSize;

    DSBUFFERDESC desc;
    desc.dwSize = kDsBufferDescSize;
    desc.dwFlags = flags | DSBCAPS_CTRLPOSITIONNOTIFY | DSBCAPS_GETCURRENTPOSITION2;
    desc.dwBufferBytes = ringBytes;
    desc.guid3DAlgorithm = algorithm;
    desc.lpwfxFormat = wave->m_pwfx;
    IDirectSoundBuffer* buffer = nullptr;
    HRESULT hr = m_device->CreateSoundBuffer(&desc, &buffer, nullptr);
    if (FAILED(hr)) {
        platform::ReportLoadFailure(name, Unplayable(*wave, hr));
        delete wave;
        return DSUTIL_TRACE("CreateSoundBuffer", hr);
    }
    IDirectSoundNotify* notify = nullptr;
    hr = buffer->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify));
    if (FAILED(hr)) {
        buffer->Release();
        delete wave;
        return DSUTIL_TRACE("QueryInterface", hr);
    }
    std::vector<DSBPOSITIONNOTIFY> positions(blockCount);
    for (DWORD i = 0; i < blockCount; ++i) {
        positions[i].dwOffset = blockSize * i + blockSize - 1;
        positions[i].hEventNotify = event;
    }
    hr = notify->SetNotificationPositions(blockCount, positions.data());
    notify->Release();
    if (FAILED(hr)) {
        buffer->Release();
        delete wave;
        return DSUTIL_TRACE("SetNotificationPositions", hr);
    }
    *out = new CStreamingSound(buffer, ringBytes, wave, blockSize);
    return S_OK;
}
