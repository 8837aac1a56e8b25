// The mixer's resampling against sox's high-quality conversion: two-tone
// test signals at 11025, 22050 and 8000 Hz played through velmor-play.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "support/run_process.h"

namespace fs = std::filesystem;

namespace {

std::string Le(std::uint32_t v, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += static_cast<char>(v >> (8 * i));
    return s;
}

std::string MonoWave(std::uint32_t rate, const std::vector<std::int16_t>& samples) {
    const std::string data(reinterpret_cast<const char*>(samples.data()), samples.size() * 2);
    const std::string body = "WAVEfmt " + Le(16, 4) + Le(1, 2) + Le(1, 2) + Le(rate, 4) +
                             Le(rate * 2, 4) + Le(2, 2) + Le(16, 2) + "data" +
                             Le(static_cast<std::uint32_t>(data.size()), 4) + data;
    return "RIFF" + Le(static_cast<std::uint32_t>(body.size()), 4) + body;
}

// The samples of a WAVE file's data chunk, every `stride`th.
std::vector<double> Samples(const std::string& wav, int stride) {
    std::vector<double> out;
    const std::size_t at = wav.find("data");
    if (at == std::string::npos) return out;
    std::uint32_t n = 0;
    std::memcpy(&n, &wav[at + 4], 4);
    for (std::size_t i = at + 8; i + 1 < wav.size() && i < at + 8 + n; i += 2 * stride) {
        std::int16_t s;
        std::memcpy(&s, &wav[i], 2);
        out.push_back(s);
    }
    return out;
}

TEST(Resampling, MatchesSoxHighQualityConversion) {
    if (!fs::exists("/usr/bin/sox")) GTEST_SKIP() << "sox is not installed";
    const std::string dir = MakeTempDir("resample");
    const struct {
        std::uint32_t rate;
        double high;  // Hz, besides 440 Hz
    } cases[] = {{11025, 2500}, {22050, 5000}, {8000, 3000}};
    for (const auto& c : cases) {
        std::vector<std::int16_t> tone(c.rate);
        for (std::size_t i = 0; i < tone.size(); ++i) {
            const double t = static_cast<double>(i) / c.rate;
            tone[i] = static_cast<std::int16_t>(std::lrint(
                8000 * (std::sin(2 * M_PI * 440 * t) + std::sin(2 * M_PI * c.high * t))));
        }
        const std::string in = dir + "/in.wav", sox = dir + "/sox.wav", ours = dir + "/ours.wav";
        WriteFile(in, MonoWave(c.rate, tone));
        ASSERT_EQ(RunProcess("/usr/bin/sox", {in, "-r", "44100", sox, "rate", "-h"}).status, 0);
        ASSERT_EQ(RunProcess(VELMOR_PLAY_BINARY, {in, "--audio-out", ours}).status, 0);
        const auto a = Samples(ReadFile(sox), 1), b = Samples(ReadFile(ours), 2);
        ASSERT_GT(std::min(a.size(), b.size()), 40000u);
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = 2000; i < 40000; ++i) {  // away from both ends
            ab += a[i] * b[i];
            aa += a[i] * a[i];
            bb += b[i] * b[i];
        }
        EXPECT_GE(ab / std::sqrt(aa * bb), 0.995) << c.rate << " Hz";
        EXPECT_NEAR(10 * std::log10(bb / aa), 0.0, 0.5) << c.rate << " Hz";
    }
    fs::remove_all(dir);
}

}  // namespace
