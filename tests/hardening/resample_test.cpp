// The mixer's resampling against sox's high-quality conversion: two-tone
// test signals at 11025, 22050 and 8000 Hz played through velmor-play.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>

#include "support/run_process.h"
#include "support/wave_image.h"

namespace fs = std::filesystem;

namespace {

TEST(Resampling, MatchesSoxHighQualityConversion) {
    if (!fs::exists("/usr/bin/sox")) GTEST_SKIP() << "sox is not installed";
    const std::string dir = MakeTempDir("resample");
    const struct {
        std::uint32_t rate;
        double high;  // Hz, besides 440 Hz
    } cases[] = {{11025, 2500}, {22050, 5000}, {8000, 3000}};
    for (const auto& c : cases) {
        Bytes tone;
        for (std::uint32_t i = 0; i < c.rate; ++i) {
            const double t = static_cast<double>(i) / c.rate;
            Put(&tone,
                static_cast<std::int16_t>(std::lrint(
                    8000 * (std::sin(2 * M_PI * 440 * t) + std::sin(2 * M_PI * c.high * t)))));
        }
        const std::string in = dir + "/in.wav", sox = dir + "/sox.wav", ours = dir + "/ours.wav";
        WriteBytes(in, PcmWave(1, c.rate, 16, tone));
        ASSERT_EQ(RunProcess("/usr/bin/sox", {in, "-r", "44100", sox, "rate", "-h"}).status, 0);
        ASSERT_EQ(RunProcess(VELMOR_PLAY_BINARY, {in, "--audio-out", ours}).status, 0);
        const auto a = ReadWave16(sox), b = ReadWave16(ours);  // mono, stereo
        ASSERT_GT(std::min(a.size(), b.size() / 2), 40000u);
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = 2000; i < 40000; ++i) {  // away from both ends
            ab += double(a[i]) * b[2 * i];
            aa += double(a[i]) * a[i];
            bb += double(b[2 * i]) * b[2 * i];
        }
        EXPECT_GE(ab / std::sqrt(aa * bb), 0.995) << c.rate << " Hz";
        EXPECT_NEAR(10 * std::log10(bb / aa), 0.0, 0.5) << c.rate << " Hz";
    }
    fs::remove_all(dir);
}

}  // namespace
