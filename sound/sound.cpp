#include "sound/sound.h"

#include <cstring>
#include <new>

#include "base/random.h"
#include "sound/dsutil.h"

CSound::CSound(IDirectSoundBuffer** buffers, DWORD bufferBytes, DWORD bufferCount, CRiffWave* wave,
               DWORD creationFlags)
    : m_buffers(new (std::nothrow) IDirectSoundBuffer*[bufferCount ? bufferCount : 1]),
      m_bufferBytes(bufferBytes),
      m_wave(wave),
      m_bufferCount(bufferCount),
      m_creationFlags(creationFlags) {
    if (!m_buffers) {
        m_bufferCount = 0;
    } else {
        for (DWORD i = 0; i < m_bufferCount; ++i) m_buffers[i] = buffers[i];
    }
    // Duplicates share buffer 0's memory, so filling it fills them all.
    if (m_buffers && m_bufferCount) FillBufferWithSound(m_buffers[0], false);
}

CSound::~CSound() {
    if (m_buffers) {
        for (DWORD i = 0; i < m_bufferCount; ++i)
            if (m_buffers[i]) {
                m_buffers[i]->Release();
                m_buffers[i] = nullptr;
            }
        delete[] m_buffers;
        m_buffers = nullptr;
    }
    delete m_wave;
    m_wave = nullptr;
}

HRESULT CSound::FillBufferWithSound(IDirectSoundBuffer* buffer, bool repeat) {
    if (!buffer || !m_wave) return CO_E_NOTINITIALIZED;
    HRESULT hr = RestoreBuffer(buffer, nullptr);
    if (FAILED(hr)) return DSUTIL_TRACE("RestoreBuffer", hr);
    void* region = nullptr;
    DWORD regionBytes = 0;
    hr = buffer->Lock(0, m_bufferBytes, &region, &regionBytes, nullptr, nullptr, 0);
    if (FAILED(hr)) return DSUTIL_TRACE("Lock", hr);
    BYTE* bytes = static_cast<BYTE*>(region);
    m_wave->ResetFile();
    DWORD read = 0;
    hr = m_wave->Read(bytes, regionBytes, &read);
    if (FAILED(hr)) {
        buffer->Unlock(region, regionBytes, nullptr, 0);
        return DSUTIL_TRACE("Read", hr);
    }
    const WAVEFORMATEX* f = m_wave->m_pwfx;
    const BYTE silence = (f && f->wBitsPerSample == 8) ? 0x80 : 0x00;
    if (read == 0) {
        std::memset(bytes, silence, regionBytes);
    } else if (read < regionBytes) {
        if (!repeat) {
            std::memset(bytes + read, silence, regionBytes - read);
        } else {
            hr = ReadWaveRepeating(m_wave, bytes, read, regionBytes, silence);
            if (FAILED(hr)) {
                buffer->Unlock(region, regionBytes, nullptr, 0);
                return hr;
            }
        }
    }
    buffer->Unlock(region, regionBytes, nullptr, 0);
    return S_OK;
}

HRESULT CSound::RestoreAndRefill(IDirectSoundBuffer* buffer, bool* restored) {
    HRESULT hr = RestoreBuffer(buffer, restored);
    if (FAILED(hr)) return DSUTIL_TRACE("RestoreBuffer", hr);
    if (*restored) {
        hr = FillBufferWithSound(buffer, false);
        if (FAILED(hr)) return DSUTIL_TRACE("FillBufferWithSound", hr);
    }
    return S_OK;
}

HRESULT CSound::RestoreBuffer(IDirectSoundBuffer* buffer, bool* restored) {
    if (!buffer) return CO_E_NOTINITIALIZED;
    if (restored) *restored = false;
    DWORD status = 0;
    HRESULT hr = buffer->GetStatus(&status);
    if (FAILED(hr)) return DSUTIL_TRACE("GetStatus", hr);
    if (status & DSBSTATUS_BUFFERLOST) {
        do {
            hr = buffer->Restore();
            if (hr == DSERR_BUFFERLOST) Sleep(10);
            hr = buffer->Restore();
        } while (hr == DSERR_BUFFERLOST);
        if (restored) *restored = true;
        return S_OK;
    }
    return S_FALSE;
}

IDirectSoundBuffer* CSound::GetFreeBuffer() {
    if (!m_buffers || m_bufferCount == 0) return nullptr;
    for (DWORD i = 0; i < m_bufferCount; ++i) {
        if (!m_buffers[i]) continue;
        DWORD status = 0;
        m_buffers[i]->GetStatus(&status);
        if (!(status & DSBSTATUS_PLAYING)) return m_buffers[i];
    }
    return m_buffers[static_cast<DWORD>(Rand()) % m_bufferCount];
}

IDirectSoundBuffer* CSound::GetBuffer(DWORD index) {
    if (!m_buffers || index >= m_bufferCount) return nullptr;
    return m_buffers[index];
}

HRESULT CSound::Get3DBuffer(DWORD index, IDirectSound3DBuffer** out) {
    if (!m_buffers) return CO_E_NOTINITIALIZED;
    if (index >= m_bufferCount || !out) return E_INVALIDARG;
    *out = nullptr;
    if (!m_buffers[index]) return CO_E_NOTINITIALIZED;
    return m_buffers[index]->QueryInterface(IID_IDirectSound3DBuffer,
                                            reinterpret_cast<void**>(out));
}

HRESULT CSound::Play(DWORD priority, DWORD flags, LONG volume, LONG frequency, LONG pan) {
    if (!m_buffers) return CO_E_NOTINITIALIZED;
    IDirectSoundBuffer* buffer = GetFreeBuffer();
    if (!buffer) return DSUTIL_TRACE("GetFreeBuffer", E_FAIL);
    bool restored = false;
    HRESULT hr = RestoreAndRefill(buffer, &restored);
    if (FAILED(hr)) return hr;
    if (m_creationFlags & DSBCAPS_CTRLVOLUME) buffer->SetVolume(volume);
    if (frequency != -1 && (m_creationFlags & DSBCAPS_CTRLFREQUENCY))
        buffer->SetFrequency(static_cast<DWORD>(frequency));
    if (m_creationFlags & DSBCAPS_CTRLPAN) buffer->SetPan(pan);
    return buffer->Play(0, priority, flags);
}

HRESULT CSound::Play3D(const DS3DBUFFER* params, DWORD priority, DWORD flags,
                       LONG frequencyOffset) {
    if (!m_buffers) return CO_E_NOTINITIALIZED;
    IDirectSoundBuffer* buffer = GetFreeBuffer();
    if (!buffer) return DSUTIL_TRACE("GetFreeBuffer", E_FAIL);
    bool restored = false;
    HRESULT hr = RestoreAndRefill(buffer, &restored);
    if (FAILED(hr)) return hr;
    if (m_creationFlags & DSBCAPS_CTRLFREQUENCY) {
        DWORD frequency = 0;
        buffer->GetFrequency(&frequency);
        buffer->SetFrequency(static_cast<DWORD>(static_cast<LONG>(frequency) + frequencyOffset));
    }
    IDirectSound3DBuffer* buffer3d = nullptr;
    hr = buffer->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&buffer3d));
    if (SUCCEEDED(hr)) {
        hr = buffer3d->SetAllParameters(params, DS3D_IMMEDIATE);
        if (SUCCEEDED(hr)) hr = buffer->Play(0, priority, flags);
        buffer3d->Release();
    }
    return hr;
}

HRESULT CSound::Stop() {
    if (!m_buffers) return CO_E_NOTINITIALIZED;
    HRESULT hr = S_OK;
    for (DWORD i = 0; i < m_bufferCount; ++i)
        if (m_buffers[i]) hr |= m_buffers[i]->Stop();
    return hr;
}

HRESULT CSound::Reset() {
    if (!m_buffers) return CO_E_NOTINITIALIZED;
    HRESULT hr = S_OK;
    for (DWORD i = 0; i < m_bufferCount; ++i)
        if (m_buffers[i]) hr |= m_buffers[i]->SetCurrentPosition(0);
    return hr;
}

bool CSound::IsPlaying() {
    if (!m_buffers) return false;
    for (DWORD i = 0; i < m_bufferCount; ++i) {
        if (!m_buffers[i]) continue;
        DWORD status = 0;
        m_buffers[i]->GetStatus(&status);
        if (status & DSBSTATUS_PLAYING) return true;
    }
    return false;
}
