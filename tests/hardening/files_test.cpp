// Hostile content files: bitmap headers refused before any decoding, WAVE
// files written to a pipe, and failed names remembered.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/core/image.h"
#include "sound/riff_wave.h"
#include "support/run_process.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

void Put(Bytes* b, std::size_t at, std::uint32_t v, int n = 4) {
    for (int i = 0; i < n; ++i) (*b)[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A 24-bit bitmap header (40-byte info header) claiming w x h, `size` bytes long.
Bytes Bitmap(std::int32_t w, std::int32_t h, std::size_t size, unsigned bits = 24) {
    Bytes b(size, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put(&b, 2, static_cast<std::uint32_t>(size));
    Put(&b, 10, 54);
    Put(&b, 14, 40);
    Put(&b, 18, static_cast<std::uint32_t>(w));
    Put(&b, 22, static_cast<std::uint32_t>(h));
    Put(&b, 26, 1, 2);
    Put(&b, 28, bits, 2);
    return b;
}

std::string Refusal(const Bytes& b) {
    platform::BitmapHeader h;
    std::string why;
    if (platform::CheckBitmapHeader(b.data(), b.size(), b.size(), &h, &why)) return "";
    return why;
}

TEST(BitmapHeader, RefusesWhatCannotBeDecodedSafely) {
    EXPECT_EQ(Refusal(Bitmap(30000, 30000, 12000)),
              "image is 30000 \u00d7 30000, larger than 16384");
    EXPECT_NE(Refusal(Bitmap(4, 0x7FFFFFFF, 12000)).find("larger than 16384"), std::string::npos);
    EXPECT_NE(Refusal(Bitmap(0, 4, 200)).find("empty"), std::string::npos);
    EXPECT_NE(Refusal(Bitmap(100, 100, 200)).find("too short"), std::string::npos);
    EXPECT_NE(Refusal(Bitmap(2, 2, 200, 13)).find("13-bit"), std::string::npos);
    EXPECT_EQ(Refusal(Bytes{}), "the file is empty");
    EXPECT_EQ(Refusal(Bytes{'n', 'o', 't'}), "not a Windows bitmap");
    // Exactly enough bytes (last row's padding may be missing), and top-down.
    EXPECT_EQ(Refusal(Bitmap(3, 2, 54 + 12 + 9)), "");
    EXPECT_EQ(Refusal(Bitmap(3, -2, 54 + 24)), "");
}

// A WAVE image: 8-bit mono 8000 Hz, `samples` bytes of data, with the RIFF
// and data size fields as given (-1: the true size).
Bytes Wave(std::size_t samples, std::int64_t riffSize, std::int64_t dataSize) {
    Bytes b(44 + samples, 0x80);
    const char* ids[] = {"RIFF", "WAVE", "fmt ", "data"};
    const std::size_t at[] = {0, 8, 12, 36};
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k) b[at[i] + k] = static_cast<std::uint8_t>(ids[i][k]);
    Put(&b, 4, riffSize < 0 ? static_cast<std::uint32_t>(36 + samples) : riffSize);
    Put(&b, 16, 16);
    Put(&b, 20, 1, 2);
    Put(&b, 22, 1, 2);
    Put(&b, 24, 8000);
    Put(&b, 28, 8000);
    Put(&b, 32, 1, 2);
    Put(&b, 34, 8, 2);
    Put(&b, 40, dataSize < 0 ? static_cast<std::uint32_t>(samples) : dataSize);
    return b;
}

TEST(PipedWave, SizesOfZeroOrPastTheEndPlayWhatTheFileHolds) {
    struct Case {
        std::int64_t riff, data;
    } cases[] = {{0, 0}, {0xFFFFFFFF, 0xFFFFFFFF}, {-1, 1001}, {37 + 1000, -1}, {0, -1}};
    for (const auto& c : cases) {
        const Bytes b = Wave(1000, c.riff, c.data);
        WriteFile("pipe.wav", std::string(b.begin(), b.end()));
        CRiffWave w;
        ASSERT_EQ(w.Open("pipe.wav", nullptr, WAVEFILE_READ), S_OK) << c.riff << " " << c.data;
        EXPECT_EQ(w.GetSize(), 1000u) << c.riff << " " << c.data;
    }
}

}  // namespace
