#include "sound/riff_wave.h"

#include <gtest/gtest.h>

#include <cstring>

#include "sound_fixture.h"

using namespace soundtest;

namespace {

// Opens a file image and returns the result; the trace goes to stderr.
HRESULT OpenImage(CRiffWave* w, const Bytes& image, const char* name) {
    WriteBytes(name, image);
    testing::internal::CaptureStderr();
    const HRESULT hr = w->Open(name, nullptr, WAVEFILE_READ);
    testing::internal::GetCapturedStderr();
    return hr;
}

Bytes ReadAll(CRiffWave* w, DWORD chunk = 1000) {
    Bytes out;
    for (;;) {
        Bytes part(chunk);
        DWORD n = 0;
        EXPECT_EQ(w->Read(part.data(), chunk, &n), S_OK);
        if (n == 0) break;
        out.insert(out.end(), part.begin(), part.begin() + n);
    }
    return out;
}

// fmt of 18 bytes among other chunks; data before fmt; a non-PCM fmt with
// its extra bytes.
TEST(RiffWaveRead, ChunksInAnyOrderAmongOthersAndRewind) {
    const Bytes samples = Ramp(101);
    CRiffWave w, order, adpcm;
    ASSERT_EQ(OpenImage(&w,
                        Riff({Chunk("LIST", Ramp(9)), Chunk("fmt ", Fmt(1, 1, 8000, 8, 0)),
                              Chunk("junk", Ramp(3)), Chunk("data", samples)}),
                        "rw_18.wav"),
              S_OK);
    EXPECT_EQ(w.m_pwfx->nSamplesPerSec, 8000u);
    EXPECT_EQ(w.GetSize(), 101u);
    EXPECT_EQ(ReadAll(&w, 40), samples);  // a short last read, then nothing
    ASSERT_EQ(OpenImage(&order, Riff({Chunk("data", samples), Chunk("fmt ", Fmt(1, 2, 22050, 16))}),
                        "rw_order.wav"),
              S_OK);
    EXPECT_EQ(order.m_pwfx->nChannels, 2);
    EXPECT_EQ(ReadAll(&order, 100), samples);
    EXPECT_EQ(order.ResetFile(), S_OK);
    EXPECT_EQ(ReadAll(&order), samples);

    Bytes fmt = Fmt(2, 1, 8000, 4, 4);
    fmt.insert(fmt.end(), {9, 8, 7, 6});
    ASSERT_EQ(
        OpenImage(&adpcm, Riff({Chunk("fmt ", fmt), Chunk("data", Ramp(10))}), "rw_adpcm.wav"),
        S_OK);
    ASSERT_EQ(adpcm.m_pwfx->cbSize, 4);
    const auto* extra = reinterpret_cast<const std::uint8_t*>(adpcm.m_pwfx) + sizeof(WAVEFORMATEX);
    EXPECT_EQ(Bytes(extra, extra + 4), (Bytes{9, 8, 7, 6}));
}

TEST(RiffWaveRead, MalformedFilesFailCleanly) {
    const Bytes good = PcmWave(1, 8000, 8, Ramp(50));
    struct Case {
        const char* what;
        Bytes image;
    };
    Bytes hugeExtra = Fmt(2, 1, 8000, 8, 0xFFFF);
    std::vector<Case> cases = {
        {"empty", {}},
        {"truncated header", Bytes(good.begin(), good.begin() + 10)},
        {"not RIFF",
         [&] {
             Bytes b = good;
             b[0] = 'X';
             return b;
         }()},
        {"not WAVE",
         [&] {
             Bytes b = good;
             b[8] = 'A';
             return b;
         }()},
        // A RIFF or data size beyond the file plays what the file holds
        // (tests/hardening).
        {"fmt with a huge extra count", Riff({Chunk("fmt ", hugeExtra), Chunk("data", Ramp(4))})},
        {"fmt too short", Riff({Chunk("fmt ", Bytes(12, 1)), Chunk("data", Ramp(4))})},
        {"no fmt", Riff({Chunk("data", Ramp(4))})},
        {"chunk size past the parent", Riff({Chunk("LIST", Ramp(4), 0xFFFFFFF0)})},
    };
    for (const auto& c : cases) {
        CRiffWave w;
        EXPECT_EQ(OpenImage(&w, c.image, "rw_bad.wav"), E_FAIL) << c.what;
        EXPECT_EQ(w.GetSize(), 0u) << c.what;
        Bytes buf(16);
        DWORD n = 5;
        // Reading afterwards is refused or yields nothing; never outside the file.
        if (SUCCEEDED(w.Read(buf.data(), 16, &n))) {
            EXPECT_EQ(n, 0u) << c.what;
        }
    }
}

TEST(RiffWaveRead, MissingFileFailsWithATrace) {
    CRiffWave w;
    testing::internal::CaptureStderr();
    EXPECT_EQ(w.Open("no_such_file.wav", nullptr, WAVEFILE_READ), E_FAIL);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("FindResource hr=E_FAIL (0x80004005)"), std::string::npos) << err;
    EXPECT_EQ(w.Open(nullptr, nullptr, WAVEFILE_READ), E_INVALIDARG);
}

TEST(RiffWaveMemory, ReadsTheBlockOnceUntilReset) {
    Bytes block = Ramp(20);
    WAVEFORMATEX f{1, 1, 8000, 8000, 1, 8, 0};
    CRiffWave w;
    EXPECT_EQ(w.OpenFromMemory(block.data(), 20, &f, WAVEFILE_READ), S_OK);
    EXPECT_EQ(w.m_pwfx, &f);
    EXPECT_EQ(ReadAll(&w, 7), block);
    EXPECT_EQ(w.ResetFile(), S_OK);
    EXPECT_EQ(ReadAll(&w, 10), block);
    UINT wrote = 0;
    EXPECT_EQ(w.Write(1, block.data(), &wrote), E_NOTIMPL);
    EXPECT_EQ(w.OpenFromMemory(block.data(), 20, &f, WAVEFILE_WRITE), E_NOTIMPL);
}

TEST(RiffWaveMemory, ReopeningFromAFileDoesNotFreeTheBorrowedFormat) {
    Bytes block = Ramp(4);
    auto* f = new WAVEFORMATEX{1, 1, 8000, 8000, 1, 8, 0};
    {
        CRiffWave w;
        w.OpenFromMemory(block.data(), 4, f, WAVEFILE_READ);
        WriteBytes("rw_re.wav", PcmWave(1, 8000, 8, Ramp(4)));
        EXPECT_EQ(w.Open("rw_re.wav", nullptr, WAVEFILE_READ), S_OK);
        EXPECT_NE(w.m_pwfx, f);
    }
    EXPECT_EQ(f->nSamplesPerSec, 8000u);  // still ours, still intact
    delete f;
}

TEST(RiffWaveWrite, ThreeBytesOf8BitMonoGetAPadByteAndBadArgumentsAreRefused) {
    WAVEFORMATEX f{1, 1, 11025, 11025, 1, 8, 0};
    {
        CRiffWave w;
        ASSERT_EQ(w.Open("rw_w3.wav", &f, WAVEFILE_WRITE), S_OK);
        const BYTE s[3] = {0x10, 0x80, 0xF0};
        UINT wrote = 0;
        EXPECT_EQ(w.Write(3, s, &wrote), S_OK);
        EXPECT_EQ(wrote, 3u);
        EXPECT_EQ(w.Write(1, nullptr, &wrote), E_INVALIDARG);
        EXPECT_EQ(w.Close(), S_OK);
    }
    EXPECT_EQ(ReadBytes("rw_w3.wav"),
              Riff({Chunk("fmt ", Fmt(1, 1, 11025, 8)), Chunk("fact", {0, 0, 0, 0}),
                    Chunk("data", {0x10, 0x80, 0xF0})}));
    CRiffWave w;
    testing::internal::CaptureStderr();
    EXPECT_EQ(w.Open("/no/such/dir/x.wav", &f, WAVEFILE_WRITE), E_FAIL);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("mmioOpen"), std::string::npos);
    UINT wrote = 0;
    const BYTE b = 0;
    EXPECT_EQ(w.Write(1, &b, &wrote), CO_E_NOTINITIALIZED);
}

}  // namespace
