#include "sound/mix_recorder.h"

#include <cerrno>
#include <cstdio>

#include "sound/dsutil.h"

namespace {

constexpr std::uint64_t kFrameBytes = 4;  // 16-bit stereo
// The header on disk is brought up to date after each second of sound.
constexpr std::uint64_t kCommitFrames = platform::kMixRate;

}  // namespace

MixRecorder::MixRecorder(std::uint64_t maxDataBytes) : maxDataBytes(maxDataBytes) {}

MixRecorder::~MixRecorder() { Finish(); }

HRESULT MixRecorder::Start(const char* path, std::uint64_t maxFrames) {
    Finish();
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = platform::kMixRate;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = kFrameBytes;
    wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
    // An unwritable path is the caller's one-line error, not a trace.
    std::FILE* probe = std::fopen(path ? path : "", "ab");
    if (!probe) return E_FAIL;
    std::fclose(probe);
    auto w = std::make_unique<CRiffWave>();
    HRESULT hr = w->Open(path, &wfx, WAVEFILE_WRITE);
    // The header goes to disk at once: a run that dies in its set-up leaves
    // a whole (empty) WAVE file.
    if (SUCCEEDED(hr)) hr = w->Commit();
    if (FAILED(hr)) return hr;
    const std::uint64_t fits = w->MaxDataBytes() < maxDataBytes ? w->MaxDataBytes() : maxDataBytes;
    {
        std::lock_guard<std::mutex> g(lock);
        wave = std::move(w);
        written = committed = 0;
        limit = maxFrames;
        room = fits / kFrameBytes;
        failure = S_OK;
        stopReason = 0;
    }
    platform::SetMixTap([this](const std::int16_t* frames, int count) { Take(frames, count); });
    return S_OK;
}

void MixRecorder::Take(const std::int16_t* frames, int count) {
    std::lock_guard<std::mutex> g(lock);
    if (!wave || FAILED(failure)) return;
    std::uint64_t n = static_cast<std::uint64_t>(count);
    if (limit && written + n > limit) n = limit - written;
    if (written + n > room) {
        n = room - written;
        stopReason = kFull;
        failure = E_FAIL;
    }
    if (n > 0) {
        // Samples are stored little-endian, as the machine holds them.
        UINT wrote = 0;
        errno = 0;
        const HRESULT hr = wave->Write(static_cast<UINT>(n * kFrameBytes),
                                       reinterpret_cast<const BYTE*>(frames), &wrote);
        written += wrote / kFrameBytes;
        if (FAILED(hr)) {
            stopReason = errno ? errno : EIO;
            failure = hr;
            return;
        }
    }
    if (written - committed >= kCommitFrames || (FAILED(failure) && written > committed)) {
        errno = 0;
        if (FAILED(wave->Commit())) {
            stopReason = errno ? errno : EIO;
            failure = E_FAIL;
            return;
        }
        committed = written;
    }
}

HRESULT MixRecorder::Finish() {
    std::unique_ptr<CRiffWave> w;
    {
        std::lock_guard<std::mutex> g(lock);
        if (!wave) return S_OK;
        w = std::move(wave);
    }
    platform::SetMixTap(nullptr);
    const HRESULT hr = w->Close();
    return FAILED(failure) ? failure : hr;
}

std::uint64_t MixRecorder::FramesWritten() const {
    std::lock_guard<std::mutex> g(lock);
    return written;
}

int MixRecorder::StopReason() const {
    std::lock_guard<std::mutex> g(lock);
    return stopReason;
}
