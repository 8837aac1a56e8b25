#include "sound/sound.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "base/random.h"
#include "platform/testing/test_hooks.h"
#include "sound/riff_wave.h"
#include "sound/sound_device.h"
#include "sound_fixture.h"

using namespace soundtest;

namespace {

class StaticSound : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        samples.resize(2000);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<std::uint8_t>((i * 37 + 11) & 0xFF);
        WriteBytes("ss_tone.wav", PcmWave(1, 44100, 16, samples));
    }

    // A sound of the tone in `buffers` buffers, deleted with the fixture.
    CSound* Load(DWORD buffers, DWORD flags = 0) {
        CSound* s = nullptr;
        EXPECT_EQ(device.CreateSound(&s, "ss_tone.wav", flags, GUID_NULL, buffers), S_OK);
        sound.reset(s);
        return s;
    }

    Bytes samples;
    std::unique_ptr<CSound> sound;
};

TEST_F(StaticSound, BuffersHoldTheWaveAndShareIt) {
    CSound* s = Load(3);
    ASSERT_NE(s, nullptr);
    for (DWORD i = 0; i < 3; ++i) EXPECT_EQ(Contents(s->GetBuffer(i)), samples) << i;
    EXPECT_EQ(s->GetBuffer(3), nullptr);
}

TEST_F(StaticSound, PlayPicksAFreeBufferThenARandomOne) {
    CSound* s = Load(3);
    ASSERT_NE(s, nullptr);
    s->GetBuffer(0)->Play(0, 0, DSBPLAY_LOOPING);
    s->GetBuffer(1)->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(s->GetFreeBuffer(), s->GetBuffer(2));
    EXPECT_EQ(s->Play(0, DSBPLAY_LOOPING, 0, -1, 0), S_OK);
    EXPECT_TRUE(Status(s->GetBuffer(2)) & DSBSTATUS_PLAYING);
    // All playing: rand() % 3 with the shared generator.
    Srand(77);
    const int expected = Rand() % 3;
    Srand(77);
    EXPECT_EQ(s->GetFreeBuffer(), s->GetBuffer(static_cast<DWORD>(expected)));
    EXPECT_TRUE(s->IsPlaying());
    EXPECT_EQ(s->Stop(), S_OK);
    EXPECT_FALSE(s->IsPlaying());
}

TEST_F(StaticSound, StopAndResetRewind) {
    CSound* s = Load(1);
    ASSERT_NE(s, nullptr);
    IDirectSoundBuffer* b = s->GetBuffer(0);
    s->Play(0, 0, 0, -1, 0);
    Mix(300);
    DWORD play = 0;
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 600u);
    // Playing again while playing does not move the position.
    s->Play(0, 0, 0, -1, 0);
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 600u);
    s->Stop();
    s->Reset();
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);
}

TEST_F(StaticSound, CreationFailuresGiveTheirCodes) {
    CSound* s = reinterpret_cast<CSound*>(0x1);
    EXPECT_EQ(device.CreateSound(&s, "ss_tone.wav", 0, GUID_NULL, 0), E_INVALIDARG);
    EXPECT_EQ(s, reinterpret_cast<CSound*>(0x1));
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.CreateSound(&s, "ss_missing.wav", 0, GUID_NULL, 1), E_FAIL);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(s, reinterpret_cast<CSound*>(0x1));

    CSoundDevice idle;
    EXPECT_EQ(idle.CreateSound(&s, "ss_tone.wav", 0, GUID_NULL, 1), CO_E_NOTINITIALIZED);

    // A format the buffers cannot play: traced and refused, nothing leaked.
    WriteBytes("ss_adpcm.wav",
               Riff({Chunk("fmt ", Fmt(2, 1, 8000, 4, 0)), Chunk("data", Ramp(100))}));
    const int before = platform::LiveBufferCountForTest();
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.CreateSound(&s, "ss_adpcm.wav", 0, GUID_NULL, 2), DSERR_BADFORMAT);
    EXPECT_NE(testing::internal::GetCapturedStderr().find(
                  "CreateSoundBuffer hr=DSERR_BADFORMAT (0x88780064)"),
              std::string::npos);
    EXPECT_EQ(platform::LiveBufferCountForTest(), before);
}

TEST_F(StaticSound, LostBufferIsRestoredAndRefilledOnPlay) {
    CSound* s = Load(1);
    ASSERT_NE(s, nullptr);
    IDirectSoundBuffer* b = s->GetBuffer(0);
    void* p = nullptr;
    DWORD n = 0;
    b->Lock(0, 0, &p, &n, nullptr, nullptr, DSBLOCK_ENTIREBUFFER);
    std::memset(p, 0x55, n);  // what a lost buffer may hold
    b->Unlock(p, n, nullptr, 0);
    platform::MarkBufferLostForTest(b);
    bool restored = false;
    EXPECT_EQ(s->Play(0, 0, 0, -1, 0), S_OK);
    EXPECT_TRUE(Status(b) & DSBSTATUS_PLAYING);
    EXPECT_EQ(Contents(b), samples);
    EXPECT_EQ(s->RestoreBuffer(b, &restored), S_FALSE);  // nothing left to restore
    EXPECT_FALSE(restored);
}

TEST_F(StaticSound, ControlsApplyOnlyWithTheirFlags) {
    CSound* s = Load(2, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN);
    ASSERT_NE(s, nullptr);
    IDirectSoundBuffer* b = s->GetBuffer(0);
    b->SetFrequency(30000);
    EXPECT_EQ(s->Play(0, 0, -500, -1, 300), S_OK);  // frequency -1: left alone
    DWORD f = 0;
    LONG v = 0, pan = 0;
    b->GetFrequency(&f);
    b->GetVolume(&v);
    b->GetPan(&pan);
    EXPECT_EQ(f, 30000u);
    EXPECT_EQ(v, -500);
    EXPECT_EQ(pan, 300);
    EXPECT_EQ(s->Play(0, 0, 0, 22050, 0), S_OK);  // the second buffer
    s->GetBuffer(1)->GetFrequency(&f);
    EXPECT_EQ(f, 22050u);
}

using SoundDevice = SoundTest;

TEST_F(SoundDevice, PrimaryFormatAndReinitialise) {
    ASSERT_EQ(device.Initialize(TestWindow(), DSSCL_PRIORITY), S_OK);  // again
    EXPECT_EQ(device.SetPrimaryFormat(1, 11025, 8), S_OK);
    EXPECT_EQ(platform::PrimaryFormatForTest().nAvgBytesPerSec, 11025u);
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.SetPrimaryFormat(3, 11025, 24), DSERR_BADFORMAT);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("SetFormat hr=DSERR_BADFORMAT"),
              std::string::npos);
    // A cooperative level needs a window.
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.Initialize(nullptr, DSSCL_PRIORITY), E_INVALIDARG);
    testing::internal::GetCapturedStderr();
}

}  // namespace
