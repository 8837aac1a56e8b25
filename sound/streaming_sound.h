/// @file
/// CStreamingSound: a wave longer than its buffer, played through a ring of
/// equal blocks; the owner calls HandleNotification each time the event that
/// the buffer signals at the end of a block fires, and the block behind the
/// play cursor is refilled with the next part of the wave.
#pragma once

#include "sound/sound.h"

class CStreamingSound : public CSound {
  public:
    CStreamingSound(IDirectSoundBuffer* buffer, DWORD ringBytes, CRiffWave* wave, DWORD notifySize);
    ~CStreamingSound() override;

    HRESULT HandleNotification(bool loop);
    HRESULT Reset();

    DWORD PlayProgress() const { return m_playProgress; }
    DWORD NextWriteOffset() const { return m_nextWriteOffset; }
    bool FillingWithSilence() const { return m_fillWithSilence; }

  private:
    DWORD m_lastPlayPos;
    DWORD m_playProgress;
    DWORD m_notifySize;
    DWORD m_nextWriteOffset;
    bool m_fillWithSilence;
};
