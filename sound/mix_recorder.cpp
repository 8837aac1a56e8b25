#include "sound/mix_recorder.h"

#include <cstdio>

#include "sound/dsutil.h"

MixRecorder::MixRecorder() = default;

MixRecorder::~MixRecorder() { Finish(); }

HRESULT MixRecorder::Start(const char* path, std::uint64_t maxFrames) {
    Finish();
    WAVEFORMATEX wfx{};
    wfx.wFormatTag = WAVE_FORMAT_PCM;
    wfx.nChannels = 2;
    wfx.nSamplesPerSec = platform::kMixRate;
    wfx.wBitsPerSample = 16;
    wfx.nBlockAlign = 4;
    wfx.nAvgBytesPerSec = wfx.nSamplesPerSec * wfx.nBlockAlign;
    // An unwritable path is the caller's one-line error, not a trace.
    std::FILE* probe = std::fopen(path ? path : "", "ab");
    if (!probe) return E_FAIL;
    std::fclose(probe);
    auto w = std::make_unique<CRiffWave>();
    const HRESULT hr = w->Open(path, &wfx, WAVEFILE_WRITE);
    if (FAILED(hr)) return hr;
    {
        std::lock_guard<std::mutex> g(lock);
        wave = std::move(w);
        written = 0;
        limit = maxFrames;
        failure = S_OK;
    }
    platform::SetMixTap([this](const std::int16_t* frames, int count) { Take(frames, count); });
    return S_OK;
}

void MixRecorder::Take(const std::int16_t* frames, int count) {
    std::lock_guard<std::mutex> g(lock);
    if (!wave || FAILED(failure)) return;
    std::uint64_t n = static_cast<std::uint64_t>(count);
    if (limit && written + n > limit) n = limit - written;
    if (n == 0) return;
    // Samples are stored little-endian, as the machine holds them.
    UINT wrote = 0;
    failure = wave->Write(static_cast<UINT>(n * 4), reinterpret_cast<const BYTE*>(frames), &wrote);
    written += wrote / 4;
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
