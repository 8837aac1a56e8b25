// The sound buffers on the clock-driven mixer, and reading and writing WAVE files.
#include <gtest/gtest.h>

#include "sound/riff_wave.h"
#include "sound_fixture.h"

namespace {

using Buffers = SoundTest;

// A 22050 Hz buffer keeps its pitch and moves at half the output's speed;
// SetFrequency changes the pitch. (Tone quality: the sox comparison.)
TEST_F(Buffers, LowerRatesAreResampledAndFrequencyChangesPitch) {
    IDirectSoundBuffer* b = Make(1, 22050, 16, 22050 * 2, DSBCAPS_CTRLFREQUENCY);
    FillSine(b, 22050, 440, 10000);
    b->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_NEAR(Frequency(Mix(22050)), 440.0, 2.5);
    EXPECT_EQ(Cursor(b), 11025u * 2);  // half a second used half the buffer
    ASSERT_EQ(b->SetFrequency(44100), DS_OK);
    EXPECT_NEAR(Frequency(Mix(22050)), 880.0, 2.5);
    EXPECT_EQ(b->SetFrequency(50), E_INVALIDARG);
    b->Release();
}

TEST_F(Buffers, PanAndVolumeSetTheChannelLevels) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 44100, DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME);
    FillSine(b, 44100, 441, 20000);
    b->Play(0, 0, DSBPLAY_LOOPING);
    // Pan, volume, left and right peaks: full left, left 20 dB down, both 6 dB down.
    const double cases[][4] = {
        {DSBPAN_LEFT, 0, 20000, 0}, {2000, 0, 2000, 20000}, {0, -600, 10024, 10024}};
    for (const auto& [pan, volume, left, right] : cases) {
        b->SetPan(static_cast<LONG>(pan)), b->SetVolume(static_cast<LONG>(volume));
        const auto out = Mix(4410);
        EXPECT_NEAR(Peak(out, 0), left, 30) << pan;
        EXPECT_NEAR(Peak(out, 1), right, 30) << pan;
    }
    EXPECT_TRUE(b->SetVolume(1) == E_INVALIDARG && b->SetPan(10001) == E_INVALIDARG);
    b->Release();
}

// A duplicate plays the original's memory on its own and keeps that memory
// alive; a buffer is freed by its last release, a notify interface's included.
TEST_F(Buffers, DuplicatesShareMemoryAndBuffersLiveUntilTheirLastRelease) {
    const int before = platform::LiveBufferCountForTest();
    IDirectSoundBuffer* a = Make(1, 44100, 16, 1000, DSBCAPS_CTRLPOSITIONNOTIFY);
    IDirectSoundBuffer* d = nullptr;
    IDirectSoundNotify* n = nullptr;
    ASSERT_EQ(ds->DuplicateSoundBuffer(a, &d), DS_OK);
    ASSERT_EQ(a->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&n)), S_OK);
    FillSine(a, 44100, 441, 1000);  // written through the original only
    d->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Status(a), 0u);
    EXPECT_NEAR(Peak(Mix(200), 0), 1000, 2);
    a->Release();
    EXPECT_EQ(platform::LiveBufferCountForTest(), before + 2);  // the notify holds the original
    n->Release();
    EXPECT_EQ(platform::LiveBufferCountForTest(), before + 1);
    EXPECT_NEAR(Peak(Mix(600), 0), 1000, 2);
    d->Release();
    EXPECT_EQ(platform::LiveBufferCountForTest(), before);
}

TEST_F(Buffers, NonLoopingBufferStopsAtItsEndAndRewinds) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 200);  // 100 frames
    FillSine(b, 44100, 441, 1000);
    b->Play(0, 0, 0);
    Mix(99);
    EXPECT_EQ(Status(b), DSBSTATUS_PLAYING);
    EXPECT_EQ(Mix(10)[2], 0);  // nothing after the last frame
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(Cursor(b), 0u);
    b->Release();
}

// A lock past the end wraps into a second region, or is refused without one;
// controls need their flags; a lost buffer refuses work until restored.
TEST_F(Buffers, PlainBufferLocksRefusesControlsAndIsRestored) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 1000);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(800, 400, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_TRUE(n1 == 200 && n2 == 200 && static_cast<BYTE*>(p1) - static_cast<BYTE*>(p2) == 800);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    EXPECT_EQ(b->Lock(800, 400, &p1, &n1, nullptr, nullptr, 0), E_INVALIDARG);
    for (HRESULT hr : {b->SetVolume(0), b->SetPan(0), b->SetFrequency(22050)})
        EXPECT_EQ(hr, DSERR_CONTROLUNAVAIL);
    b->Play(0, 0, DSBPLAY_LOOPING);
    platform::MarkBufferLostForTest(b);
    EXPECT_EQ(Status(b), DSBSTATUS_BUFFERLOST);
    EXPECT_EQ(b->Lock(0, 10, &p1, &n1, nullptr, nullptr, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(b->Restore(), DS_OK);
    EXPECT_EQ(Status(b), 0u);
    b->Release();
}

TEST_F(Buffers, DescriptionsThatCannotBeMadeAreRefused) {
    IDirectSoundBuffer* b = reinterpret_cast<IDirectSoundBuffer*>(1);
    EXPECT_EQ(Create(&b, 2, 44100, 16, 400, DSBCAPS_CTRL3D), E_INVALIDARG);  // 3D is mono only
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(Create(&b, 1, 44100, 16, 0), E_INVALIDARG);
    DSBUFFERDESC d{kDsBufferDescSize, 0, 100};
    EXPECT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), E_INVALIDARG);  // no format
}

// Distance attenuates and side pans, both relative to the listener: the sound
// is 2 to the listener's left.
TEST_F(Buffers, ThreeDimensionalSoundIsHeardFromTheListener) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 44100, DSBCAPS_CTRL3D);
    FillSine(b, 44100, 441, 20000);
    IDirectSound3DBuffer* b3 = nullptr;
    ASSERT_EQ(b->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&b3)), S_OK);
    b3->SetPosition(10, 0, 0, DS3D_IMMEDIATE);
    IDirectSound3DListener* listener = nullptr;
    ASSERT_EQ(device.Get3DListener(&listener), S_OK);
    listener->SetPosition(12, 0, 0, DS3D_IMMEDIATE);
    b->Play(0, 0, DSBPLAY_LOOPING);
    const auto out = Mix(4410);
    EXPECT_NEAR(Peak(out, 0), 10000, 30);
    EXPECT_LT(Peak(out, 1), 10);
    listener->Release();
    b3->Release();
    b->Release();
}

// Opens a file image (its trace on stderr is dropped).
HRESULT OpenImage(CRiffWave* w, const Bytes& image) {
    WriteBytes("rw.wav", image);
    testing::internal::CaptureStderr();
    const HRESULT hr = w->Open("rw.wav", nullptr, WAVEFILE_READ);
    testing::internal::GetCapturedStderr();
    return hr;
}

// Reads in `chunk`-byte steps until a read yields nothing.
Bytes ReadAll(CRiffWave* w, DWORD chunk) {
    Bytes out, part(chunk);
    for (DWORD n = 1; n > 0;) {
        EXPECT_EQ(w->Read(part.data(), chunk, &n), S_OK);
        out.insert(out.end(), part.begin(), part.begin() + n);
    }
    return out;
}

// fmt of 18 bytes among other chunks; data before fmt. (A fmt's extra bytes:
// the extensible file velmor-play converts.)
TEST(RiffWaveRead, ChunksInAnyOrderAmongOthersAndRewind) {
    const Bytes samples = Ramp(101);
    CRiffWave w;
    ASSERT_EQ(OpenImage(&w, Riff({Chunk("LIST", Ramp(9)), Chunk("fmt ", Fmt(1, 1, 8000, 8, 0)),
                                  Chunk("junk", Ramp(3)), Chunk("data", samples)})),
              S_OK);
    EXPECT_TRUE(w.m_pwfx->nSamplesPerSec == 8000 && w.GetSize() == 101);
    EXPECT_EQ(ReadAll(&w, 40), samples);  // a short last read, then nothing
    ASSERT_EQ(OpenImage(&w, Riff({Chunk("data", samples), Chunk("fmt ", Fmt(1, 2, 22050, 16))})),
              S_OK);
    EXPECT_EQ(w.m_pwfx->nChannels, 2);
    EXPECT_EQ(ReadAll(&w, 100), samples);
    EXPECT_EQ(w.ResetFile(), S_OK);
    EXPECT_EQ(ReadAll(&w, 1000), samples);
}

// Refused with E_FAIL, and reading afterwards yields nothing from outside the file.
TEST(RiffWaveRead, MalformedFilesFailCleanly) {
    const Bytes good = PcmWave(1, 8000, 8, Ramp(50));
    Bytes notRiff = good, notWave = good;
    notRiff[0] = 'X';
    notWave[8] = 'A';
    for (const Bytes& image :
         {Bytes{}, Bytes(good.begin(), good.begin() + 10), notRiff, notWave,
          Riff({Chunk("fmt ", Fmt(2, 1, 8000, 8, 0xFFFF)), Chunk("data", Ramp(4))}),  // huge extra
          Riff({Chunk("fmt ", Bytes(12, 1)), Chunk("data", Ramp(4))}),
          Riff({Chunk("data", Ramp(4))}),
          Riff({Chunk("LIST", Ramp(4), 0xFFFFFFF0)})}) {  // a chunk past its parent
        CRiffWave w;
        EXPECT_EQ(OpenImage(&w, image), E_FAIL) << image.size();
        EXPECT_EQ(w.GetSize(), 0u);
        Bytes buf(16);
        DWORD n = 5;
        EXPECT_TRUE(FAILED(w.Read(buf.data(), 16, &n)) || n == 0);
    }
    EXPECT_EQ(CRiffWave().Open(nullptr, nullptr, WAVEFILE_READ), E_INVALIDARG);
}

// A memory block reads once until reset; reopening from a file afterwards
// does not free the borrowed format.
TEST(RiffWaveMemory, ReadsTheBlockOnceAndLeavesTheFormatToItsOwner) {
    Bytes block = Ramp(20);
    auto* f = new WAVEFORMATEX{1, 1, 8000, 8000, 1, 8, 0};
    {
        CRiffWave w;
        EXPECT_EQ(w.OpenFromMemory(block.data(), 20, f, WAVEFILE_READ), S_OK);
        EXPECT_EQ(ReadAll(&w, 7), block);
        EXPECT_EQ(w.ResetFile(), S_OK);
        EXPECT_EQ(ReadAll(&w, 10), block);
        EXPECT_EQ(OpenImage(&w, PcmWave(1, 8000, 8, Ramp(4))), S_OK);
        EXPECT_NE(w.m_pwfx, f);
    }
    EXPECT_EQ(f->nSamplesPerSec, 8000u);  // still ours, still intact
    delete f;
}

// Three bytes of 8-bit mono get a pad byte; bad arguments are refused.
TEST(RiffWaveWrite, OddDataIsPaddedAndBadArgumentsAreRefused) {
    WAVEFORMATEX f{1, 1, 11025, 11025, 1, 8, 0};
    const BYTE s[3] = {0x10, 0x80, 0xF0};
    UINT wrote = 0;
    {
        CRiffWave w;
        ASSERT_EQ(w.Open("rw_w3.wav", &f, WAVEFILE_WRITE), S_OK);
        EXPECT_TRUE(w.Write(3, s, &wrote) == S_OK && wrote == 3);
        EXPECT_EQ(w.Write(1, nullptr, &wrote), E_INVALIDARG);
        EXPECT_EQ(w.Close(), S_OK);
    }
    EXPECT_EQ(ReadBytes("rw_w3.wav"),
              Riff({Chunk("fmt ", Fmt(1, 1, 11025, 8)), Chunk("fact", {0, 0, 0, 0}),
                    Chunk("data", {0x10, 0x80, 0xF0})}));
    CRiffWave w;
    testing::internal::CaptureStderr();
    EXPECT_EQ(w.Open("/no/such/dir/x.wav", &f, WAVEFILE_WRITE), E_FAIL);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(w.Write(1, s, &wrote), CO_E_NOTINITIALIZED);
}

}  // namespace
