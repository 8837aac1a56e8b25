// CSound and CStreamingSound on the clock-driven mixer.
#include <gtest/gtest.h>

#include <memory>

#include "base/random.h"
#include "sound/streaming_sound.h"
#include "sound_fixture.h"

namespace {

class StaticSound : public SoundTest {
  protected:
    // A sound of a 1000-frame 16-bit tone in `buffers` buffers, deleted with the fixture.
    CSound* Load(DWORD buffers, DWORD flags = 0) {
        WriteBytes("ss_tone.wav", PcmWave(1, 44100, 16, samples));
        CSound* s = nullptr;
        EXPECT_EQ(device.CreateSound(&s, "ss_tone.wav", flags, GUID_NULL, buffers), S_OK);
        sound.reset(s);
        return s;
    }
    const Bytes samples = Ramp(2000);
    std::unique_ptr<CSound> sound;
};

// Every buffer holds the wave; Play takes a free buffer, or a random one
// (rand() % count with the shared generator) when all play; playing again
// while playing does not move the position; Stop and Reset rewind.
TEST_F(StaticSound, PlayPicksAFreeBufferThenARandomOne) {
    CSound* s = Load(3);
    ASSERT_NE(s, nullptr);
    for (DWORD i = 0; i < 3; ++i) EXPECT_EQ(Contents(s->GetBuffer(i)), samples) << i;
    s->GetBuffer(0)->Play(0, 0, DSBPLAY_LOOPING);
    s->GetBuffer(1)->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(s->Play(0, 0, 0, -1, 0), S_OK);
    EXPECT_TRUE(Status(s->GetBuffer(2)) & DSBSTATUS_PLAYING);
    Mix(300);  // every buffer is at 600 now
    Srand(77);
    const DWORD expected = static_cast<DWORD>(Rand() % 3);
    Srand(77);
    EXPECT_EQ(s->GetFreeBuffer(), s->GetBuffer(expected));
    Srand(77);
    EXPECT_EQ(s->Play(0, 0, 0, -1, 0), S_OK);
    EXPECT_EQ(Cursor(s->GetBuffer(expected)), 600u);
    EXPECT_EQ(s->Stop(), S_OK);
    EXPECT_FALSE(s->IsPlaying());
    EXPECT_EQ(s->Reset(), S_OK);
    EXPECT_EQ(Cursor(s->GetBuffer(2)), 0u);
}

TEST_F(StaticSound, CreationFailuresGiveTheirCodesAndLeakNothing) {
    CSound* s = reinterpret_cast<CSound*>(0x1);
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.CreateSound(&s, "ss_tone.wav", 0, GUID_NULL, 0), E_INVALIDARG);
    EXPECT_EQ(device.CreateSound(&s, "ss_missing.wav", 0, GUID_NULL, 1), E_FAIL);
    EXPECT_EQ(CSoundDevice().CreateSound(&s, "ss_tone.wav", 0, GUID_NULL, 1), CO_E_NOTINITIALIZED);
    // A format the buffers cannot play: traced and refused, nothing leaked.
    WriteBytes("ss_adpcm.wav",
               Riff({Chunk("fmt ", Fmt(2, 1, 8000, 4, 0)), Chunk("data", Ramp(100))}));
    const int before = platform::LiveBufferCountForTest();
    EXPECT_EQ(device.CreateSound(&s, "ss_adpcm.wav", 0, GUID_NULL, 2), DSERR_BADFORMAT);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("CreateSoundBuffer hr=DSERR_BADFORMAT"),
              std::string::npos);
    EXPECT_EQ(platform::LiveBufferCountForTest(), before);
    EXPECT_EQ(s, reinterpret_cast<CSound*>(0x1));
}

// A lost buffer is restored and refilled by Play; volume and pan apply with
// their flags, and a frequency of -1 leaves it alone.
TEST_F(StaticSound, LostBufferIsRefilledOnPlayAndControlsApply) {
    CSound* s = Load(1, DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN);
    ASSERT_NE(s, nullptr);
    IDirectSoundBuffer* b = s->GetBuffer(0);
    FillSine(b, 44100, 441, 1000);  // what a lost buffer may hold
    platform::MarkBufferLostForTest(b);
    b->SetFrequency(30000);
    EXPECT_EQ(s->Play(0, 0, -500, -1, 300), S_OK);
    EXPECT_TRUE(Status(b) & DSBSTATUS_PLAYING);
    EXPECT_EQ(Contents(b), samples);
    bool restored = true;
    EXPECT_EQ(s->RestoreBuffer(b, &restored), S_FALSE);  // nothing left to restore
    EXPECT_FALSE(restored);
    DWORD f = 0;
    LONG v = 0, pan = 0;
    b->GetFrequency(&f), b->GetVolume(&v), b->GetPan(&pan);
    EXPECT_TRUE(f == 30000 && v == -500 && pan == 300) << f << " " << v << " " << pan;
}

// A sound made from samples in memory and played in 3D: heard from where its
// parameters put it against the listener, at its rate plus the offset; moved
// through its 3D buffer while it plays.
TEST_F(SoundTest, MemorySoundPlayedInThreeDimensions) {
    Bytes pcm(2 * 44100);  // one second of a 441 Hz sine, 16-bit mono
    for (std::size_t i = 0; i < pcm.size() / 2; ++i) {
        const auto v = static_cast<std::uint16_t>(
            std::lrint(20000 * std::sin(2 * M_PI * 441 * static_cast<double>(i) / 44100)));
        pcm[2 * i] = static_cast<BYTE>(v), pcm[2 * i + 1] = static_cast<BYTE>(v >> 8);
    }
    WAVEFORMATEX f{WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    const auto size = static_cast<ULONG>(pcm.size());
    const DWORD flags = DSBCAPS_CTRL3D | DSBCAPS_CTRLFREQUENCY;
    CSound* raw = nullptr;
    EXPECT_EQ(device.CreateSoundFromMemory(&raw, nullptr, size, &f, flags, GUID_NULL, 2),
              E_INVALIDARG);
    ASSERT_EQ(device.CreateSoundFromMemory(&raw, pcm.data(), size, &f, flags, GUID_NULL, 2), S_OK);
    std::unique_ptr<CSound> sound(raw);
    EXPECT_EQ(Contents(sound->GetBuffer(1)), pcm);  // a duplicate shares the samples

    IDirectSound3DListener* listener = nullptr;
    ASSERT_EQ(device.Get3DListener(&listener), S_OK);
    listener->SetPosition(12, 0, 0, DS3D_IMMEDIATE);
    DS3DBUFFER at;
    at.vPosition = {10, 0, 0};  // 2 to the listener's left: half as loud
    ASSERT_EQ(sound->Play3D(&at, 0, DSBPLAY_LOOPING, 44100), S_OK);  // twice the rate
    auto out = Mix(4410);
    EXPECT_NEAR(Peak(out, 0), 10000, 30);
    EXPECT_LT(Peak(out, 1), 10);
    EXPECT_NEAR(Frequency(out), 882, 12);

    IDirectSound3DBuffer* moved = nullptr;
    EXPECT_EQ(sound->Get3DBuffer(2, &moved), E_INVALIDARG);
    ASSERT_EQ(sound->Get3DBuffer(0, &moved), S_OK);  // the one playing
    moved->SetPosition(14, 0, 0, DS3D_IMMEDIATE);    // now 2 to its right
    out = Mix(4410);
    EXPECT_LT(Peak(out, 0), 10);
    EXPECT_NEAR(Peak(out, 1), 10000, 30);
    moved->Release();
    listener->SetPosition(0, 0, 0, DS3D_IMMEDIATE);
    listener->Release();
}

TEST_F(SoundTest, PrimaryFormatAndReinitialise) {
    ASSERT_EQ(device.Initialize(TestWindow(), DSSCL_PRIORITY), S_OK);  // again
    EXPECT_EQ(device.SetPrimaryFormat(1, 11025, 8), S_OK);
    EXPECT_EQ(platform::PrimaryFormatForTest().nAvgBytesPerSec, 11025u);
    testing::internal::CaptureStderr();
    EXPECT_EQ(device.SetPrimaryFormat(3, 11025, 24), DSERR_BADFORMAT);
    EXPECT_EQ(device.Initialize(nullptr, DSSCL_PRIORITY), E_INVALIDARG);  // a level needs a window
    EXPECT_NE(testing::internal::GetCapturedStderr().find("SetFormat hr=DSERR_BADFORMAT"),
              std::string::npos);
}

// 8-bit mono at 44100 Hz (a byte a frame, so positions are exact), 4 blocks of 1000.
class Streaming : public SoundTest {
  protected:
    void TearDown() override { delete sound; }  // the event lives on, as the game's do
    void Start(const Bytes& wave) {
        WriteBytes("st_wave.wav", PcmWave(1, 44100, 8, wave));
        ASSERT_EQ(device.CreateStreamingSound(&sound, "st_wave.wav", 0, GUID_NULL, 4, 1000, event),
                  S_OK);
        sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
    }
    Bytes Ring() { return Contents(sound->GetBuffer(0)); }
    // Mixes frame by frame until the event fires; returns the play cursor then.
    DWORD Next() {
        for (int i = 0; i < 100000; ++i) {
            Mix(1);
            if (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) return Cursor(sound->GetBuffer(0));
        }
        return 0xFFFFFFFF;
    }
    HANDLE event = CreateEventA(nullptr, 0, 0, nullptr);
    CStreamingSound* sound = nullptr;
};

// The wave is heard whole, then silence until the first notification after
// its end stops the sound.
TEST_F(Streaming, StreamedBytesEqualTheWaveThenSilence) {
    const Bytes wave = Ramp(9500);
    Start(wave);
    Bytes heard;
    platform::SetMixTap([&](const std::int16_t* f, int n) {
        for (int i = 0; i < n; ++i)
            heard.push_back(static_cast<std::uint8_t>((f[2 * i] >> 8) + 128));
    });
    for (int step = 0; step < 400 && sound->IsPlaying(); ++step) {
        Mix(100);
        while (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) sound->HandleNotification(false);
    }
    platform::SetMixTap(nullptr);
    EXPECT_FALSE(sound->IsPlaying());
    ASSERT_TRUE(heard.size() >= wave.size() && heard.size() <= 10100) << heard.size();
    EXPECT_EQ(Bytes(heard.begin(), heard.begin() + wave.size()), wave);
    for (std::size_t i = wave.size(); i < heard.size(); ++i) ASSERT_EQ(heard[i], 0x80) << i;
}

TEST_F(Streaming, LoopingWaveShorterThanABlockRepeatsForEver) {
    const Bytes wave = Ramp(300);
    Start(wave);
    EXPECT_EQ(Next(), 1000u);
    EXPECT_EQ(sound->HandleNotification(true), S_OK);
    const Bytes ring = Ring();
    for (std::size_t i = 0; i < 1000; ++i) ASSERT_EQ(ring[i], wave[i % 300]) << i;
    for (int k = 0; k < 8; ++k) Next(), sound->HandleNotification(true);
    EXPECT_FALSE(sound->FillingWithSilence());
    EXPECT_TRUE(sound->IsPlaying());
}

// Reset starts the wave again at block 0; a lost ring is refilled from the start.
TEST_F(Streaming, ResetAndLossRewindTheStream) {
    const Bytes wave = Ramp(6000);
    Start(wave);
    Next();
    sound->HandleNotification(false);  // block 0 now holds bytes 4000..4999
    EXPECT_EQ(sound->Reset(), S_OK);
    EXPECT_EQ(Next(), 1000u);
    sound->HandleNotification(false);
    const Bytes ring = Ring();
    EXPECT_EQ(Bytes(ring.begin(), ring.begin() + 1000), Bytes(wave.begin(), wave.begin() + 1000));
    platform::MarkBufferLostForTest(sound->GetBuffer(0));
    EXPECT_EQ(sound->HandleNotification(false), S_OK);
    EXPECT_EQ(Ring(), Bytes(wave.begin(), wave.begin() + 4000));
}

TEST_F(Streaming, CreationFailures) {
    CStreamingSound* s = nullptr;
    auto create = [&](const char* file, DWORD blocks, HANDLE e) {
        return device.CreateStreamingSound(&s, file, 0, GUID_NULL, blocks, 65536, e);
    };
    WriteBytes("st_float.wav",
               Riff({Chunk("fmt ", Fmt(3, 1, 44100, 32, 0)), Chunk("data", Ramp(40))}));
    testing::internal::CaptureStderr();
    EXPECT_EQ(create("x.wav", 4, nullptr), E_INVALIDARG);
    EXPECT_EQ(create("st_missing.wav", 4, event), E_INVALIDARG);  // no format to make the ring with
    EXPECT_EQ(create("st_float.wav", 4, event), DSERR_BADFORMAT);
    EXPECT_EQ(create("st_float.wav", 65536, event), E_INVALIDARG);  // a ring too large for a buffer
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(s, nullptr);
}

}  // namespace
