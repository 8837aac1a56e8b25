/// @file
/// CSound: one short wave held whole in sound buffers, with several buffers so
/// the sound can overlap itself. Keeps its wave to refill lost buffers.
#pragma once

#include "platform/core/dsound.h"

class CRiffWave;

class CSound {
  public:
    CSound(IDirectSoundBuffer** buffers, DWORD bufferBytes, DWORD bufferCount, CRiffWave* wave,
           DWORD creationFlags);
    virtual ~CSound();
    CSound(const CSound&) = delete;
    CSound& operator=(const CSound&) = delete;

    HRESULT FillBufferWithSound(IDirectSoundBuffer* buffer, bool repeat);
    HRESULT RestoreBuffer(IDirectSoundBuffer* buffer, bool* restored);
    /// Restores a lost buffer and, if it was lost, fills it again from the
    /// start of the wave; *restored says whether that happened.
    HRESULT RestoreAndRefill(IDirectSoundBuffer* buffer, bool* restored);
    IDirectSoundBuffer* GetFreeBuffer();
    IDirectSoundBuffer* GetBuffer(DWORD index);
    HRESULT Get3DBuffer(DWORD index, IDirectSound3DBuffer** out);
    HRESULT Play(DWORD priority, DWORD flags, LONG volume, LONG frequency, LONG pan);
    HRESULT Play3D(const DS3DBUFFER* params, DWORD priority, DWORD flags, LONG frequencyOffset);
    HRESULT Stop();
    HRESULT Reset();
    bool IsPlaying();

  protected:
    IDirectSoundBuffer** m_buffers;
    DWORD m_bufferBytes;
    CRiffWave* m_wave;
    DWORD m_bufferCount;
    DWORD m_creationFlags;
};
