// velmor-play end to end: what it writes, and files the engine's buffers do
// not hold as they are.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/run_process.h"
#include "support/wave_image.h"

namespace fs = std::filesystem;

namespace {

// A WAVE file: fmt record (with any extra bytes after it, and the byte rate
// overridden when given) and data.
Bytes Wave(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
           const Bytes& data, const Bytes& extra = {}, std::uint32_t byteRate = 0) {
    Bytes fmt = Fmt(tag, channels, rate, bits);
    fmt.insert(fmt.end(), extra.begin(), extra.end());
    if (byteRate)
        for (int i = 0; i < 4; ++i) fmt[8 + i] = static_cast<std::uint8_t>(byteRate >> (8 * i));
    return Riff({Chunk("fmt ", fmt), Chunk("data", data)});
}

class PlayTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = MakeTempDir("play"); }
    void TearDown() override { fs::remove_all(dir); }
    ProcessResult Play(const Bytes& wave, std::vector<std::string> options = {}) {
        WriteBytes(dir + "/in.wav", wave);
        options.insert(options.begin(), {dir + "/in.wav", "--audio-out", dir + "/out.wav"});
        return RunProcess(VELMOR_PLAY_BINARY, options, {"VELMOR_TRACE"});
    }
    // The samples written, after checking they are 44100 Hz stereo.
    std::vector<std::int16_t> Out() {
        WAVEFORMATEX f{};
        auto s = ReadWave16(dir + "/out.wav", &f);
        EXPECT_EQ(f.nSamplesPerSec * f.nChannels, 88200u);
        return s;
    }
    int Peak() {
        int peak = 0;
        for (int v : Out()) peak = std::max(peak, std::abs(v));
        return peak;
    }
    std::string dir;
};

TEST_F(PlayTest, TenSecondsOfStereoComeOutIdentical) {
    Bytes noise(441000 * 4);  // every sample counts
    std::uint32_t r = 12345;
    for (auto& b : noise) b = static_cast<std::uint8_t>((r = r * 1103515245u + 12345u) >> 16);
    ASSERT_EQ(Play(PcmWave(2, 44100, 16, noise)).status, 0);
    const auto out = Out();
    EXPECT_TRUE(Bytes(reinterpret_cast<const std::uint8_t*>(out.data()),
                      reinterpret_cast<const std::uint8_t*>(out.data() + out.size())) == noise);
}

TEST_F(PlayTest, LoopingNeedsALengthAndBadInputIsRefused) {
    const Bytes mono = PcmWave(1, 22050, 16, Bytes(44100, 0x10));
    ASSERT_EQ(Play(mono, {"--loop", "--seconds", "7.5"}).status, 0);
    EXPECT_EQ(Out().size(), static_cast<std::size_t>(7.5 * 44100) * 2);
    // Refused with status 2 and a message naming the program.
    for (const ProcessResult& r :
         {Play(mono, {"--loop"}), Play(Ramp(100)), Play(mono, {"--bogus"}),
          RunProcess(VELMOR_PLAY_BINARY, {"no_such.wav", "--audio-out", "x.wav"})}) {
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_NE(r.err.find("velmor-play: "), std::string::npos) << r.err;
    }
}

TEST_F(PlayTest, WiderPcmFloatAndExtensibleAreConvertedTo16Bit) {
    // Half-scale sine, 0.1 s at 22050 Hz, in each coding.
    Bytes s24, s32, f32;
    for (int i = 0; i < 2205; ++i) {
        const double v = 0.5 * std::sin(i * 0.05);
        const auto i32 = static_cast<std::int32_t>(std::lrint(v * 2147483647.0));
        const auto f = static_cast<float>(v);
        std::uint32_t bits;
        std::memcpy(&bits, &f, 4);
        Put(&s32, i32);
        Put(&f32, bits);
        s24.insert(s24.end(), s32.end() - 3, s32.end());
    }
    // Extensible: cbSize, valid bits, channel mask, then the PCM sub-format GUID.
    Bytes ext;
    Put(&ext, std::uint16_t(22), std::uint16_t(32), 4u, 1u, 0x00100000u, 0xAA000080u, 0x719B3800u);
    const struct {
        const char* what;
        Bytes wave;
    } cases[] = {
        {"24-bit", Wave(1, 1, 22050, 24, s24)},
        {"32-bit", Wave(1, 1, 22050, 32, s32)},
        {"float", Wave(3, 1, 22050, 32, f32, Bytes(2, 0))},
        {"extensible", Wave(0xFFFE, 1, 22050, 32, s32, ext)},
    };
    for (const auto& c : cases) {
        const auto r = Play(c.wave);
        EXPECT_EQ(r.status, 0) << c.what << ": " << r.err;
        EXPECT_NE(r.out.find("0.1 s / 0.1 s"), std::string::npos) << c.what << ": " << r.out;
        EXPECT_NEAR(Peak(), 16384, 200) << c.what;
    }
}

TEST_F(PlayTest, BadHeadersAreRefusedOrNotTrusted) {
    // A sample rate of 0 is refused in one line, leaving no output file.
    auto r = Play(Wave(1, 1, 0, 16, Bytes(200, 0)));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "velmor-play: '" + dir +
                         "/in.wav' has a sample rate of 0 Hz; 100 to 200000 Hz can be played\n");
    EXPECT_FALSE(fs::exists(dir + "/out.wav"));
    r = Play(Wave(1, 1, 22050, 12, Bytes(200, 0)));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("12-bit PCM"), std::string::npos) << r.err;
    // A byte rate that lies: the length comes from the rate and frame size
    // (0.0125 s, not 200 s).
    r = Play(Wave(1, 1, 8000, 16, Bytes(200, 0), {}, 1));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0.0 s / 0.0 s"), std::string::npos) << r.out;
}

}  // namespace
