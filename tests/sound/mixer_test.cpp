#include <gtest/gtest.h>

#include <cstring>

#include "platform/testing/test_hooks.h"
#include "sound_fixture.h"

using namespace soundtest;

namespace {

using Buffers = SoundTest;

TEST_F(Buffers, LowerRatesAreResampledAndFrequencyChangesPitch) {
    IDirectSoundBuffer* b = Make(1, 22050, 16, 22050 * 2, DSBCAPS_CTRLFREQUENCY);
    FillSine(b, 22050, 440, 10000);
    b->Play(0, 0, DSBPLAY_LOOPING);
    const auto out = Mix(22050);
    EXPECT_NEAR(Frequency(out, 0), 440.0, 1.0);
    EXPECT_NEAR(Peak(out, 1), 10000, 60);  // mono goes to both sides
    DWORD play = 0;
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 11025u * 2);  // 0.5 s of output used 0.25 s of the buffer
    ASSERT_EQ(b->SetFrequency(44100), DS_OK);
    EXPECT_NEAR(Frequency(Mix(22050), 0), 880.0, 2.0);
    EXPECT_EQ(b->SetFrequency(50), E_INVALIDARG);
    b->Release();
}

TEST_F(Buffers, PanAndVolumeSetTheChannelLevels) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 44100, DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME);
    FillSine(b, 44100, 441, 20000);
    b->Play(0, 0, DSBPLAY_LOOPING);

    ASSERT_EQ(b->SetPan(DSBPAN_LEFT), DS_OK);
    auto out = Mix(4410);
    EXPECT_NEAR(Peak(out, 0), 20000, 30);
    EXPECT_EQ(Peak(out, 1), 0);

    b->SetPan(2000);  // left 20 dB down
    out = Mix(4410);
    EXPECT_NEAR(Peak(out, 0), 2000, 10);
    EXPECT_NEAR(Peak(out, 1), 20000, 30);

    b->SetPan(0);
    b->SetVolume(-600);  // 6 dB down on both
    out = Mix(4410);
    EXPECT_NEAR(Peak(out, 0), 20000 * 0.5012, 30);
    EXPECT_NEAR(Peak(out, 1), 20000 * 0.5012, 30);

    EXPECT_EQ(b->SetVolume(1), E_INVALIDARG);
    EXPECT_EQ(b->SetPan(10001), E_INVALIDARG);
    b->Release();

    IDirectSoundBuffer* plain = Make(1, 44100, 16, 100);
    EXPECT_EQ(plain->SetVolume(0), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetPan(0), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
    plain->Release();
}

TEST_F(Buffers, DuplicatesShareMemoryButPlayIndependently) {
    IDirectSoundBuffer* a = Make(1, 44100, 16, 1000);
    IDirectSoundBuffer* d = nullptr;
    ASSERT_EQ(ds->DuplicateSoundBuffer(a, &d), DS_OK);
    void* pa = nullptr;
    DWORD na = 0;
    a->Lock(0, 10, &pa, &na, nullptr, nullptr, 0);
    static_cast<std::int16_t*>(pa)[0] = 1234;  // written through the original only
    a->Unlock(pa, na, nullptr, 0);
    d->Play(0, 0, DSBPLAY_LOOPING);
    EXPECT_EQ(Status(a), 0u);
    EXPECT_EQ(Status(d), DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    EXPECT_EQ(Mix(10)[0], 1234);
    // Releasing the original leaves the duplicate's memory alive.
    a->Release();
    Mix(600);
    d->Release();
}

TEST_F(Buffers, NonLoopingBufferStopsAtItsEnd) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 200);  // 100 frames
    FillSine(b, 44100, 441, 1000);
    b->Play(0, 0, 0);
    Mix(99);
    EXPECT_EQ(Status(b), DSBSTATUS_PLAYING);
    const auto out = Mix(10);
    EXPECT_EQ(Status(b), 0u);
    EXPECT_EQ(out[2], 0);  // nothing after the last frame
    DWORD play = 1;
    b->GetCurrentPosition(&play, nullptr);
    EXPECT_EQ(play, 0u);  // rewound for the next Play
    b->Release();
}

// Each block's event fires once per pass, in order, when the play cursor has
// just left the block.
TEST_F(Buffers, NotificationsFireOncePerBlockInOrder) {
    IDirectSoundBuffer* b = Make(1, 44100, 8, 4000, DSBCAPS_CTRLPOSITIONNOTIFY);
    IDirectSoundNotify* notify = nullptr;
    ASSERT_EQ(b->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)), S_OK);
    HANDLE events[4];
    DSBPOSITIONNOTIFY pos[4];
    for (int i = 0; i < 4; ++i)
        pos[i] = {1000u * i + 999, events[i] = CreateEventA(nullptr, 0, 0, nullptr)};
    ASSERT_EQ(notify->SetNotificationPositions(4, pos), DS_OK);
    notify->Release();
    b->Play(0, 0, DSBPLAY_LOOPING);
    std::vector<DWORD> fired;  // block * 10000 + play cursor when seen
    for (int step = 0; step < 8000 / 50; ++step) {
        Mix(50);
        for (DWORD i = 0; i < 4; ++i)
            if (WaitForSingleObject(events[i], 0) == WAIT_OBJECT_0) {
                DWORD play = 0;
                b->GetCurrentPosition(&play, nullptr);
                fired.push_back(i * 10000 + play);
            }
    }
    EXPECT_EQ(fired, (std::vector<DWORD>{1000, 12000, 23000, 30000, 1000, 12000, 23000, 30000}));
    b->Stop();
    for (HANDLE e : events) CloseHandle(e);
    b->Release();
}

TEST_F(Buffers, LockWrapsIntoTwoRegions) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 1000);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(800, 400, &p1, &n1, &p2, &n2, 0), DS_OK);
    EXPECT_EQ(n1, 200u);
    EXPECT_EQ(n2, 200u);
    EXPECT_EQ(static_cast<BYTE*>(p1) - static_cast<BYTE*>(p2), 800);
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    // A wrapping lock without room for a second region is refused.
    EXPECT_EQ(b->Lock(800, 400, &p1, &n1, nullptr, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(b->Lock(1000, 1, &p1, &n1, nullptr, nullptr, 0), E_INVALIDARG);
    EXPECT_EQ(b->Lock(0, 1001, &p1, &n1, &p2, &n2, 0), E_INVALIDARG);
    b->Release();
}

TEST_F(Buffers, FormatsThatCannotBePlayedAreRefused) {
    IDirectSoundBuffer* b = reinterpret_cast<IDirectSoundBuffer*>(1);
    EXPECT_EQ(Create(&b, 1, 44100, 32, 1000, 0, 3), DSERR_BADFORMAT);  // float
    EXPECT_EQ(b, nullptr);
    EXPECT_EQ(Create(&b, 1, 44100, 16, 0), E_INVALIDARG);
    EXPECT_EQ(Create(&b, 2, 44100, 16, 400, DSBCAPS_CTRL3D), E_INVALIDARG);  // 3D is mono only
    DSBUFFERDESC d;
    d.dwSize = kDsBufferDescSize;
    d.dwBufferBytes = 100;
    EXPECT_EQ(ds->CreateSoundBuffer(&d, &b, nullptr), E_INVALIDARG);  // no format
}

TEST_F(Buffers, LostBufferRefusesWorkUntilRestored) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 1000);
    b->Play(0, 0, DSBPLAY_LOOPING);
    platform::MarkBufferLostForTest(b);
    EXPECT_EQ(Status(b), DSBSTATUS_BUFFERLOST);
    void* p = nullptr;
    DWORD n = 0;
    EXPECT_EQ(b->Lock(0, 10, &p, &n, nullptr, nullptr, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(b->Play(0, 0, 0), DSERR_BUFFERLOST);
    EXPECT_EQ(b->Restore(), DS_OK);
    EXPECT_EQ(Status(b), 0u);
    b->Release();
}

// Distance attenuates and side pans, both relative to the listener.
TEST_F(Buffers, ThreeDimensionalSoundIsHeardFromTheListener) {
    IDirectSoundBuffer* b = Make(1, 44100, 16, 44100, DSBCAPS_CTRL3D);
    FillSine(b, 44100, 441, 20000);
    IDirectSound3DBuffer* b3 = nullptr;
    ASSERT_EQ(b->QueryInterface(IID_IDirectSound3DBuffer, reinterpret_cast<void**>(&b3)), S_OK);
    b3->SetPosition(10, 0, 0, DS3D_IMMEDIATE);
    IDirectSound3DListener* listener = nullptr;
    ASSERT_EQ(device.Get3DListener(&listener), S_OK);
    listener->SetPosition(12, 0, 0, DS3D_IMMEDIATE);  // the sound is 2 to the left
    b->Play(0, 0, DSBPLAY_LOOPING);
    const auto out = Mix(4410);
    EXPECT_NEAR(Peak(out, 0), 10000, 30);
    EXPECT_LT(Peak(out, 1), 10);
    listener->SetPosition(0, 0, 0, DS3D_IMMEDIATE);
    listener->Release();
    b3->Release();
    b->Release();
}

TEST_F(Buffers, BuffersAreFreedByTheirLastRelease) {
    const int before = platform::LiveBufferCountForTest();
    IDirectSoundBuffer* b = Make(1, 44100, 16, 100, DSBCAPS_CTRLPOSITIONNOTIFY);
    IDirectSoundNotify* n = nullptr;
    b->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&n));
    b->Release();
    EXPECT_EQ(platform::LiveBufferCountForTest(), before + 1);  // the notify holds it
    n->Release();
    EXPECT_EQ(platform::LiveBufferCountForTest(), before);
}

}  // namespace
