// The sound tests' device, on a mixer the test steps, with a window for its level.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/dsound.h"
#include "platform/core/window.h"
#include "platform/testing/test_hooks.h"
#include "sound/sound_device.h"
#include "support/wave_image.h"

inline HWND TestWindow() {
    static HWND window = [] {
        const WNDCLASSEXA wc{.lpfnWndProc = DefWindowProcA, .lpszClassName = "sound-test"};
        RegisterClassExA(&wc);
        return CreateWindowExA(0, "sound-test", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr,
                               nullptr);
    }();
    return window;
}

class SoundTest : public testing::Test {
  protected:
    void SetUp() override {
        platform::UseClockDrivenAudio();
        ASSERT_EQ(device.Initialize(TestWindow(), DSSCL_PRIORITY), S_OK);
        ds = device.GetDirectSound();
    }

    HRESULT Create(IDirectSoundBuffer** b, WORD channels, DWORD rate, WORD bits, DWORD bytes,
                   DWORD flags = 0) {
        const auto align = static_cast<WORD>(channels * bits / 8);
        WAVEFORMATEX f{WAVE_FORMAT_PCM, channels, rate, rate * align, align, bits, 0};
        DSBUFFERDESC d{kDsBufferDescSize, flags, bytes, 0, &f};
        return ds->CreateSoundBuffer(&d, b, nullptr);
    }
    IDirectSoundBuffer* Make(WORD channels, DWORD rate, WORD bits, DWORD bytes, DWORD flags = 0) {
        IDirectSoundBuffer* b = nullptr;
        EXPECT_EQ(Create(&b, channels, rate, bits, bytes, flags), DS_OK);
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

    static Bytes Contents(IDirectSoundBuffer* b) {
        void* p = nullptr;
        DWORD n = 0;
        b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
        Bytes out(static_cast<BYTE*>(p), static_cast<BYTE*>(p) + n);
        b->Unlock(p, n, nullptr, 0);
        return out;
    }

    static DWORD Status(IDirectSoundBuffer* b) {
        DWORD s = 0;
        b->GetStatus(&s);
        return s;
    }
    static DWORD Cursor(IDirectSoundBuffer* b) {
        DWORD play = 0;
        b->GetCurrentPosition(&play, nullptr);
        return play;
    }

    static std::vector<std::int16_t> Mix(int frames) {
        std::vector<std::int16_t> out(static_cast<std::size_t>(frames) * 2);
        platform::MixForTest(out.data(), frames);
        return out;
    }

    CSoundDevice device;
    IDirectSound8* ds = nullptr;
};

inline double Peak(const std::vector<std::int16_t>& s, int channel /* 0 left, 1 right */) {
    double m = 0;
    for (std::size_t i = channel; i < s.size(); i += 2) m = std::max(m, std::fabs(double(s[i])));
    return m;
}

// Frequency of the left channel at 44100 Hz from its rising zero crossings.
inline double Frequency(const std::vector<std::int16_t>& s) {
    int rising = 0;
    for (std::size_t i = 2; i < s.size(); i += 2) rising += s[i - 2] < 0 && s[i] >= 0;
    return rising * 88200.0 / static_cast<double>(s.size());
}
