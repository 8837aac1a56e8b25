#include "sound/streaming_sound.h"

#include <cstring>

#include "sound/dsutil.h"

CStreamingSound::CStreamingSound(IDirectSoundBuffer* buffer, DWORD ringBytes, CRiffWave* wave,
                                 DWORD notifySize)
    : CSound(&buffer, ringBytes, 1, wave, 0),
      m_lastPlayPos(0),
      m_playProgress(0),
      m_notifySize(notifySize),
      m_nextWriteOffset(0),
      m_fillWithSilence(false) {}

CStreamingSound::~CStreamingSound() = default;

HRESULT CStreamingSound::HandleNotification(bool loop) {
    if (!m_buffers || m_bufferCount == 0 || !m_buffers[0] || !m_wave) return CO_E_NOTINITIALIZED;
    IDirectSoundBuffer* buffer = m_buffers[0];
    bool restored = false;
    HRESULT hr = RestoreAndRefill(buffer, &restored);
    if (FAILED(hr) || restored) return hr;

    void* region = nullptr;
    DWORD n = 0;
    void* region2 = nullptr;
    DWORD n2 = 0;
    hr = buffer->Lock(m_nextWriteOffset, m_notifySize, &region, &n, &region2, &n2, 0);
    if (FAILED(hr)) return DSUTIL_TRACE("Lock", hr);
    if (region2) {
        buffer->Unlock(region, n, region2, n2);
        return E_UNEXPECTED;
    }
    BYTE* bytes = static_cast<BYTE*>(region);
    const WAVEFORMATEX* f = m_wave->m_pwfx;
    const BYTE silence = (f && f->wBitsPerSample == 8) ? 0x80 : 0x00;
    DWORD written = 0;
    if (m_fillWithSilence) {
        std::memset(bytes, silence, n);
        written = n;
    } else {
        hr = m_wave->Read(bytes, n, &written);
        if (FAILED(hr)) {
            buffer->Unlock(region, n, nullptr, 0);
            return DSUTIL_TRACE("Read", hr);
        }
    }
    if (written < n) {
        if (!loop) {
            std::memset(bytes + written, silence, n - written);
            m_fillWithSilence = true;
        } else {
            hr = ReadWaveRepeating(m_wave, bytes, written, n, silence);
            if (FAILED(hr)) {
                buffer->Unlock(region, n, nullptr, 0);
                return hr;
            }
        }
    }
    buffer->Unlock(region, n, nullptr, 0);

    DWORD play = 0;
    hr = buffer->GetCurrentPosition(&play, nullptr);
    if (FAILED(hr)) return DSUTIL_TRACE("GetCurrentPosition", hr);
    const DWORD delta =
        play < m_lastPlayPos ? (m_bufferBytes - m_lastPlayPos) + play : play - m_lastPlayPos;
    m_playProgress += delta;
    m_lastPlayPos = play;
    if (m_fillWithSilence && m_playProgress >= m_wave->GetSize()) buffer->Stop();
    m_nextWriteOffset = (m_nextWriteOffset + n) % m_bufferBytes;
    return S_OK;
}

HRESULT CStreamingSound::Reset() {
    if (!m_buffers || m_bufferCount == 0 || !m_buffers[0] || !m_wave) return CO_E_NOTINITIALIZED;
    m_lastPlayPos = 0;
    m_playProgress = 0;
    m_nextWriteOffset = 0;
    m_fillWithSilence = false;
    IDirectSoundBuffer* buffer = m_buffers[0];
    bool restored = false;
    HRESULT hr = RestoreAndRefill(buffer, &restored);
    if (FAILED(hr)) return hr;
    m_wave->ResetFile();
    return buffer->SetCurrentPosition(0);
}
