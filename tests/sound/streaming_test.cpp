#include <gtest/gtest.h>

#include <string>

#include "platform/testing/test_hooks.h"
#include "sound/streaming_sound.h"
#include "sound_fixture.h"

using namespace soundtest;

namespace {

// 8-bit mono at 44100 Hz: one byte per output frame, so positions are exact.
class Streaming : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        event = CreateEventA(nullptr, 0, 0, nullptr);
    }
    void TearDown() override {
        delete sound;
        CloseHandle(event);
    }
    void Create(const Bytes& wave, DWORD blocks, DWORD size) {
        WriteBytes("st_wave.wav", PcmWave(1, 44100, 8, wave));
        ASSERT_EQ(
            device.CreateStreamingSound(&sound, "st_wave.wav", 0, GUID_NULL, blocks, size, event),
            S_OK);
    }
    Bytes Ring() { return Contents(sound->GetBuffer(0)); }
    // Mixes frame by frame until the event fires; returns the play cursor then.
    DWORD RunToNotification(int limit = 100000) {
        std::int16_t out[2];
        for (int i = 0; i < limit; ++i) {
            platform::MixForTest(out, 1);
            if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) {
                DWORD play = 0;
                sound->GetBuffer(0)->GetCurrentPosition(&play, nullptr);
                return play;
            }
        }
        return 0xFFFFFFFF;
    }

    HANDLE event = nullptr;
    CStreamingSound* sound = nullptr;
};

TEST_F(Streaming, StreamedBytesEqualTheWave) {
    const Bytes wave = Ramp(9500);
    Create(wave, 4, 1000);
    std::vector<std::uint8_t> heard;
    platform::SetMixTap([&](const std::int16_t* f, int n) {
        for (int i = 0; i < n; ++i)
            heard.push_back(static_cast<std::uint8_t>((f[2 * i] >> 8) + 128));
    });
    sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
    std::int16_t out[2 * 100];
    for (int step = 0; step < 400 && sound->IsPlaying(); ++step) {
        platform::MixForTest(out, 100);
        while (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) sound->HandleNotification(false);
    }
    platform::SetMixTap(nullptr);
    EXPECT_FALSE(sound->IsPlaying());
    ASSERT_GE(heard.size(), wave.size());
    EXPECT_EQ(Bytes(heard.begin(), heard.begin() + wave.size()), wave);
    for (std::size_t i = wave.size(); i < heard.size(); ++i) ASSERT_EQ(heard[i], 0x80) << i;
}

TEST_F(Streaming, ShortWaveDrainsAndStops) {
    const Bytes wave = Ramp(2500);
    Create(wave, 4, 1000);
    sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);

    EXPECT_EQ(RunToNotification(), 1000u);
    EXPECT_EQ(sound->HandleNotification(false), S_OK);
    EXPECT_TRUE(sound->FillingWithSilence());  // nothing left to read
    EXPECT_TRUE(sound->IsPlaying());

    EXPECT_EQ(RunToNotification(), 2000u);
    sound->HandleNotification(false);
    EXPECT_TRUE(sound->IsPlaying());  // 2000 < 2500 heard
    EXPECT_EQ(RunToNotification(), 3000u);
    sound->HandleNotification(false);
    EXPECT_FALSE(sound->IsPlaying());  // 3000 >= 2500: stopped
}

TEST_F(Streaming, LoopingWaveShorterThanABlockRepeats) {
    const Bytes wave = Ramp(300);
    Create(wave, 4, 1000);
    sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
    EXPECT_EQ(RunToNotification(), 1000u);
    EXPECT_EQ(sound->HandleNotification(true), S_OK);
    EXPECT_FALSE(sound->FillingWithSilence());
    const Bytes ring = Ring();
    for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(ring[i], wave[i % 300]) << i;
    // It never drains.
    for (int k = 0; k < 8; ++k) {
        RunToNotification();
        sound->HandleNotification(true);
    }
    EXPECT_TRUE(sound->IsPlaying());
}

TEST_F(Streaming, ResetRewindsTheStream) {
    const Bytes wave = Ramp(6000);
    Create(wave, 4, 1000);
    sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
    RunToNotification();
    sound->HandleNotification(false);  // block 0 now holds bytes 4000..4999
    EXPECT_EQ(sound->Reset(), S_OK);
    EXPECT_EQ(RunToNotification(), 1000u);
    sound->HandleNotification(false);  // the wave starts again in block 0
    const Bytes ring = Ring();
    EXPECT_EQ(Bytes(ring.begin(), ring.begin() + 1000), Bytes(wave.begin(), wave.begin() + 1000));
}

TEST_F(Streaming, LostRingIsRefilledFromTheStart) {
    const Bytes wave = Ramp(6000);
    Create(wave, 4, 1000);
    sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
    RunToNotification();
    platform::MarkBufferLostForTest(sound->GetBuffer(0));
    EXPECT_EQ(sound->HandleNotification(false), S_OK);
    const Bytes ring = Ring();
    EXPECT_EQ(ring, Bytes(wave.begin(), wave.begin() + 4000));
}

TEST_F(Streaming, CreationFailures) {
    CStreamingSound* s = nullptr;
    EXPECT_EQ(device.CreateStreamingSound(&s, "x.wav", 0, GUID_NULL, 4, 1000, nullptr),
              E_INVALIDARG);
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.CreateStreamingSound(&s, "st_missing.wav", 0, GUID_NULL, 4, 1000, event),
              E_INVALIDARG);  // no format to make the ring with
    testing::internal::GetCapturedStderr();
    WriteBytes("st_float.wav",
               Riff({Chunk("fmt ", Fmt(3, 1, 44100, 32, 0)), Chunk("data", Ramp(40))}));
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.CreateStreamingSound(&s, "st_float.wav", 0, GUID_NULL, 4, 1000, event),
              DSERR_BADFORMAT);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(s, nullptr);
    // A ring too large for a buffer is refused before anything is made.
    EXPECT_EQ(device.CreateStreamingSound(&s, "st_wave.wav", 0, GUID_NULL, 65536, 65536, event),
              E_INVALIDARG);
}

}  // namespace
