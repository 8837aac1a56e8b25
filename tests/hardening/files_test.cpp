// Hostile content files: bitmap headers refused before any decoding, and
// WAVE files written to a pipe.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/core/image.h"
#include "support/bmp_writer.h"
#include "support/wave_image.h"

namespace {

std::string Refusal(const Bytes& b) {
    platform::BitmapHeader header;
    std::string why;
    return platform::CheckBitmapHeader(b.data(), b.size(), b.size(), &header, &why) ? "" : why;
}

// Why a file of `size` bytes whose header claims w x h is refused ("" if not).
std::string Refusal(std::int32_t w, std::int32_t h, std::size_t size, int bits = 24) {
    Bytes b;
    testbmp::PutHeaders(&b, w, h, bits, 0, 0, 0);
    b.resize(size, 0);
    return Refusal(b);
}

TEST(BitmapHeader, RefusesWhatCannotBeDecodedSafely) {
    EXPECT_EQ(Refusal(30000, 30000, 12000), "image is 30000 \u00d7 30000, larger than 16384");
    EXPECT_NE(Refusal(4, 0x7FFFFFFF, 12000).find("larger than 16384"), std::string::npos);
    EXPECT_NE(Refusal(0, 4, 200).find("empty"), std::string::npos);
    EXPECT_NE(Refusal(100, 100, 200).find("too short"), std::string::npos);
    EXPECT_NE(Refusal(2, 2, 200, 13).find("13-bit"), std::string::npos);
    EXPECT_EQ(Refusal(Bytes{}), "the file is empty");
    EXPECT_EQ(Refusal(Bytes{'n', 'o', 't'}), "not a Windows bitmap");
    // Exactly enough bytes (last row's padding may be missing), and top-down.
    EXPECT_EQ(Refusal(3, 2, 54 + 12 + 9), "");
    EXPECT_EQ(Refusal(3, -2, 54 + 24), "");
}

TEST(PipedWave, SizesOfZeroOrPastTheEndPlayWhatTheFileHolds) {
    // RIFF and data size fields; 0xFFFFFFFF stands for the true size.
    const std::uint32_t kTrue = 0xFFFFFFFF;
    const std::uint32_t cases[][2] = {
        {0, 0}, {0xFFFFFFFE, 0xFFFFFFFE}, {kTrue, 1001}, {37 + 1000, kTrue}, {0, kTrue}};
    for (const auto& [riff, data] : cases) {
        WriteBytes("pipe.wav",
                   Riff({Chunk("fmt ", Fmt(1, 1, 8000, 8)), Chunk("data", Bytes(1000, 0x80), data)},
                        riff));
        CRiffWave w;
        ASSERT_EQ(w.Open("pipe.wav", nullptr, WAVEFILE_READ), S_OK) << riff << " " << data;
        EXPECT_EQ(w.GetSize(), 1000u) << riff << " " << data;
    }
}

}  // namespace
