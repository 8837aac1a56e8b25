/// @file
/// CSoundDevice: owns the sound device and makes static and streaming sounds.
#pragma once

#include "platform/core/dsound.h"

class CSound;
class CStreamingSound;

class CSoundDevice {
  public:
    CSoundDevice();
    ~CSoundDevice();
    CSoundDevice(const CSoundDevice&) = delete;
    CSoundDevice& operator=(const CSoundDevice&) = delete;

    HRESULT Initialize(HWND window, DWORD level);
    HRESULT SetPrimaryFormat(WORD channels, DWORD frequency, WORD bits);
    HRESULT Get3DListener(IDirectSound3DListener** out);
    HRESULT CreateSound(CSound** out, const char* name, DWORD flags, GUID algorithm, DWORD count);
    HRESULT CreateSoundFromMemory(CSound** out, BYTE* data, ULONG size, WAVEFORMATEX* format,
                                  DWORD flags, GUID algorithm, DWORD count);
    HRESULT CreateStreamingSound(CStreamingSound** out, const char* name, DWORD flags,
                                 GUID algorithm, DWORD blockCount, DWORD blockSize, HANDLE event);

    IDirectSound8* GetDirectSound() const { return m_device; }

  private:
    IDirectSound8* m_device;
};
