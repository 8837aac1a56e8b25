// velmor-play on files the engine's buffers do not hold as they are.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "support/run_process.h"

namespace fs = std::filesystem;

namespace {

// A WAVE file: fmt record (with any extra bytes) and data as given.
std::string Wave(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits,
                 const std::string& data, const std::string& extra = "",
                 std::uint32_t byteRate = 0) {
    auto le = [](std::uint32_t v, int n) {
        std::string s;
        for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i));
        return s;
    };
    const std::uint16_t align = static_cast<std::uint16_t>(channels * bits / 8);
    const std::string fmt = le(tag, 2) + le(channels, 2) + le(rate, 4) +
                            le(byteRate ? byteRate : rate * align, 4) + le(align, 2) + le(bits, 2) +
                            extra;
    const std::string body = "WAVEfmt " + le(static_cast<std::uint32_t>(fmt.size()), 4) + fmt +
                             "data" + le(static_cast<std::uint32_t>(data.size()), 4) + data;
    return "RIFF" + le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

// Peak of the 16-bit samples velmor-play wrote (after its 56-byte header).
int Peak(const std::string& wav) {
    int peak = 0;
    for (std::size_t i = 56; i + 1 < wav.size(); i += 2) {
        std::int16_t s;
        std::memcpy(&s, &wav[i], 2);
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

class PlayTest : public ::testing::Test {
  protected:
    void SetUp() override { dir = MakeTempDir("play"); }
    void TearDown() override { fs::remove_all(dir); }
    ProcessResult Play(const std::string& wave) {
        WriteFile(dir + "/in.wav", wave);
        return RunProcess(VELMOR_PLAY_BINARY, {dir + "/in.wav", "--audio-out", dir + "/out.wav"},
                          {"VELMOR_TRACE"});
    }
    std::string dir;
};

TEST_F(PlayTest, WiderPcmFloatAndExtensibleAreConvertedTo16Bit) {
    // Half-scale sine, 0.1 s at 22050 Hz, in each coding.
    std::string s24, s32, f32;
    for (int i = 0; i < 2205; ++i) {
        const double v = 0.5 * std::sin(i * 0.05);
        const auto i32 = static_cast<std::int32_t>(std::lrint(v * 2147483647.0));
        const float f = static_cast<float>(v);
        s24.append(reinterpret_cast<const char*>(&i32) + 1, 3);
        s32.append(reinterpret_cast<const char*>(&i32), 4);
        f32.append(reinterpret_cast<const char*>(&f), 4);
    }
    // Extensible: valid bits, channel mask, then the PCM sub-format GUID.
    const std::string ext =
        std::string("\x16\x00\x20\x00\x04\x00\x00\x00", 8) +
        std::string("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);
    const struct {
        const char* what;
        std::string wave;
    } cases[] = {
        {"24-bit", Wave(1, 1, 22050, 24, s24)},
        {"32-bit", Wave(1, 1, 22050, 32, s32)},
        {"float", Wave(3, 1, 22050, 32, f32, std::string(2, '\0'))},
        {"extensible", Wave(0xFFFE, 1, 22050, 32, s32, ext)},
    };
    for (const auto& c : cases) {
        const auto r = Play(c.wave);
        EXPECT_EQ(r.status, 0) << c.what << ": " << r.err;
        EXPECT_NE(r.out.find("0.1 s / 0.1 s"), std::string::npos) << c.what << ": " << r.out;
        EXPECT_NEAR(Peak(ReadFile(dir + "/out.wav")), 16384, 200) << c.what;
    }
}

TEST_F(PlayTest, BadHeadersAreRefusedOrNotTrusted) {
    // A sample rate of 0 is refused in one line, leaving no output file.
    auto r = Play(Wave(1, 1, 0, 16, std::string(200, '\0')));
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "velmor-play: '" + dir +
                         "/in.wav' has a sample rate of 0 Hz; 100 to 200000 Hz can be played\n");
    EXPECT_FALSE(fs::exists(dir + "/out.wav"));
    r = Play(Wave(1, 1, 22050, 12, std::string(200, '\0')));
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("12-bit PCM"), std::string::npos) << r.err;
    // A byte rate that lies: the length comes from the rate and frame size
    // (0.0125 s, not 200 s).
    r = Play(Wave(1, 1, 8000, 16, std::string(200, '\0'), "", 1));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("0.0 s / 0.0 s"), std::string::npos) << r.out;
}

}  // namespace
