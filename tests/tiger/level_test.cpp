// The tiger level run as a player runs it (headless, scripted keys): the
// offset line, steering the first tiger, and the picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/run_output.h"

namespace {

// A number field of the entity with that id (for "rot", its first element).
double Field(const std::string& line, int id, const std::string& key) {
    const std::string v = DumpField(DumpEntity(line, id), key);
    EXPECT_NE(v, "") << key;
    return std::strtod(v.c_str() + (v[0] == '[' ? 1 : 0), nullptr);
}

// Tiger orange (red well above green, green well above blue) in a column band.
int OrangePixels(const Shot& s, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < s.h; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = s.At(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            n += r > 180 && g > 90 && g < r - 50 && b < g - 40;
        }
    return n;
}

TEST(TigerLevel, OffsetLineAndKeysSteerTheFirstTigerOnlyAndBothShow) {
    // Left held for frames 1-10, then Up and Down together, which cancel.
    const std::string dir = MakeTempDir("tiger");
    WriteFile(
        dir + "/in.txt",
        "1 key DIK_LEFT down\n11 key DIK_LEFT up\n12 key DIK_UP down\n12 key DIK_DOWN down\n");
    const ProcessResult run =
        RunProcess(VELMOR_BINARY,
                   {"--level", "tiger", "--headless", "--frames", "20", "--input", dir + "/in.txt",
                    "--dump", dir + "/d.jsonl", "--screenshot", "10:" + dir + "/s.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");  // no message box: the content is complete
    const auto frames = DumpFrames(dir + "/d.jsonl");
    ASSERT_EQ(frames.size(), 21u);
    for (std::size_t k = 1; k <= 20; ++k)
        EXPECT_EQ(DumpText(frames[k], 3), "X 0 Y " + std::to_string(5 * (k - 1)));
    EXPECT_NEAR(Field(frames[10], 1, "z"), -2.0, 1e-5);
    EXPECT_NEAR(Field(frames[10], 1, "rot"), -0.4292037, 1e-5);
    // Released, it stays; Up and Down together cancel.
    EXPECT_EQ(DumpEntity(frames[20], 1), DumpEntity(frames[10], 1));
    EXPECT_EQ(DumpEntity(frames[20], 2), DumpEntity(frames[1], 2));  // the other one never moves

    // The untouched tiger stands in the middle, the steered one to its left.
    const Shot s = LoadShot(dir + "/s.png");
    ASSERT_EQ(s.w, 1024);
    EXPECT_GT(OrangePixels(s, 440, 590), 5000);
    EXPECT_GT(OrangePixels(s, 150, 440), 5000);
    EXPECT_LT(OrangePixels(s, 600, 1024), 100);
}

}  // namespace
