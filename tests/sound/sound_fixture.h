// Shared set-up of the sound tests: the mixer is clock-driven (stepped by the
// test), and a window exists for the device's cooperative level.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "platform/testing/test_hooks.h"
#include "platform/core/dsound.h"
#include "platform/core/window.h"

namespace soundtest {

inline LRESULT TestProc(HWND w, UINT m, WPARAM a, LPARAM b) { return DefWindowProcA(w, m, a, b); }

inline HWND TestWindow() {
    static HWND window = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof wc;
        wc.lpfnWndProc = TestProc;
        wc.lpszClassName = "sound-test";
        RegisterClassExA(&wc);
        return CreateWindowExA(0, "sound-test", "sound-test", 0, 0, 0, 1, 1, nullptr, nullptr,
                               nullptr, nullptr);
    }();
    return window;
}

class MixerTest : public testing::Test {
  protected:
    void SetUp() override {
        platform::UseClockDrivenAudio();
        ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(TestWindow(), DSSCL_PRIORITY), DS_OK);
    }
    void TearDown() override {
        if (ds) ds->Release();
    }

    IDirectSoundBuffer* Make(WORD channels, DWORD rate, WORD bits, DWORD bytes, DWORD flags = 0) {
        WAVEFORMATEX f{};
        f.wFormatTag = WAVE_FORMAT_PCM;
        f.nChannels = channels;
        f.nSamplesPerSec = rate;
        f.wBitsPerSample = bits;
        f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
        f.nAvgBytesPerSec = rate * f.nBlockAlign;
        DSBUFFERDESC d;
        d.dwSize = kDsBufferDescSize;
        d.dwFlags = flags;
        d.dwBufferBytes = bytes;
        d.lpwfxFormat = &f;
        IDirectSoundBuffer* b = nullptr;
        EXPECT_TRUE(SUCCEEDED(ds->CreateSoundBuffer(&d, &b, nullptr)));
        return b;
    }

    // Fills a 16-bit mono buffer with a sine of `hz` at `amp`.
    static void FillSine(IDirectSoundBuffer* b, DWORD rate, double hz, double amp) {
        void* p = nullptr;
        DWORD n = 0;
        ASSERT_EQ(b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER), DS_OK);
        auto* s = static_cast<std::int16_t*>(p);
        for (DWORD i = 0; i < n / 2; ++i)
            s[i] = static_cast<std::int16_t>(std::lrint(amp * std::sin(2 * M_PI * hz * i / rate)));
        b->Unlock(p, n, nullptr, 0);
    }

    static std::vector<std::int16_t> Mix(int frames) {
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
        platform::MixForTest(out.data(), frames);
        return out;
    }

    IDirectSound8* ds = nullptr;
};

// Channel 0 = left, 1 = right.
inline double Peak(const std::vector<std::int16_t>& s, int channel) {
    double m = 0;
    for (std::size_t i = channel; i < s.size(); i += 2) m = std::max(m, std::fabs(double(s[i])));
    return m;
}

// Frequency from rising zero crossings of one channel at 44100 Hz.
inline double Frequency(const std::vector<std::int16_t>& s, int channel) {
    int first = -1, last = -1, count = 0;
    for (std::size_t i = channel + 2; i < s.size(); i += 2)
        if (s[i - 2] < 0 && s[i] >= 0) {
            const int frame = static_cast<int>(i / 2);
            if (first < 0)
                first = frame;
            else
                ++count;
            last = frame;
        }
    return count > 0 ? count * 44100.0 / (last - first) : 0.0;
}

}  // namespace soundtest
