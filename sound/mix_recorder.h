// MixRecorder: writes everything the mixer plays to a WAVE file (44100 Hz,
// stereo, 16-bit) through CRiffWave's writer.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/core/types.h"

class CRiffWave;

class MixRecorder {
  public:
    MixRecorder();
    ~MixRecorder();
    MixRecorder(const MixRecorder&) = delete;
    MixRecorder& operator=(const MixRecorder&) = delete;

    // Creates the file and starts taking the mixer's output. maxFrames (> 0)
    // ends the recording after that many sample frames.
    HRESULT Start(const char* path, std::uint64_t maxFrames = 0);
    // Stops taking output and finishes the file.
    HRESULT Finish();
    std::uint64_t FramesWritten() const;

  private:
    void Take(const std::int16_t* frames, int count);

    mutable std::mutex lock;
    std::unique_ptr<CRiffWave> wave;
    std::uint64_t written = 0;
    std::uint64_t limit = 0;
    HRESULT failure = S_OK;
};
