/// @file
/// MixRecorder: writes everything the mixer plays to a WAVE file (44100 Hz,
/// stereo, 16-bit) through CRiffWave's writer. The file on disk is a whole
/// WAVE file from the start and its sizes are brought up to date about once a
/// second of sound, so a process that dies leaves what was played until then.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "platform/core/types.h"

class CRiffWave;

class MixRecorder {
  public:
    /// `maxDataBytes` caps the samples the file takes below what the WAVE
    /// format's 32-bit sizes can state (a little under 4 GiB, which is also
    /// the cap when it is larger).
    explicit MixRecorder(std::uint64_t maxDataBytes = UINT64_MAX);
    ~MixRecorder();
    MixRecorder(const MixRecorder&) = delete;
    MixRecorder& operator=(const MixRecorder&) = delete;

    /// Creates the file and starts taking the mixer's output. maxFrames (> 0)
    /// ends the recording after that many sample frames.
    HRESULT Start(const char* path, std::uint64_t maxFrames = 0);
    /// Stops taking output and finishes the file; a failure when a write
    /// failed or the file filled up on the way.
    HRESULT Finish();
    std::uint64_t FramesWritten() const;
    /// Why the recording stopped taking output before Finish: 0 while it goes
    /// on (or ended at maxFrames), kFull when the file is full, else the errno
    /// of the write that failed.
    static constexpr int kFull = -1;
    int StopReason() const;

  private:
    void Take(const std::int16_t* frames, int count);

    const std::uint64_t maxDataBytes;
    mutable std::mutex lock;
    std::unique_ptr<CRiffWave> wave;
    std::uint64_t written = 0;
    std::uint64_t limit = 0;
    std::uint64_t room = 0;       ///< sample frames the file can still take
    std::uint64_t committed = 0;  ///< frames the header on disk counts
    HRESULT failure = S_OK;
    int stopReason = 0;
};
