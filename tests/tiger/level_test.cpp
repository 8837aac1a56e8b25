// The tiger level run as a player runs it (headless, scripted keys): the
// offset line, steering the first tiger, and the picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "platform/core/png.h"
#include "platform/core/image.h"
#include "support/run_process.h"

namespace {

struct Played {
    std::vector<std::string> frames;  // dump lines, frame 1 first
    std::string dir;
};

Played Play(const std::string& script, int frames, const std::string& shots = "") {
    Played r;
    r.dir = MakeTempDir("tiger");
    WriteFile(r.dir + "/in.txt", script);
    std::vector<std::string> args = {
        "--level", "tiger",           "--headless", "--frames",        std::to_string(frames),
        "--input", r.dir + "/in.txt", "--dump",     r.dir + "/d.jsonl"};
    if (!shots.empty()) args.insert(args.end(), {"--screenshot", shots + ":" + r.dir + "/s.png"});
    const ProcessResult p = RunProcess(VELMOR_BINARY, args);
    EXPECT_EQ(p.status, 0) << p.err;
    EXPECT_EQ(p.err, "");  // no message box: the content is complete
    std::istringstream in(ReadFile(r.dir + "/d.jsonl"));
    for (std::string line; std::getline(in, line);) r.frames.push_back(line);
    EXPECT_EQ(r.frames.size(), static_cast<std::size_t>(frames));
    return r;
}

// A number field of the entity with that id in a dump line.
double Field(const std::string& line, int id, const std::string& key) {
    const std::size_t at = line.find("{\"id\":" + std::to_string(id) + ",");
    EXPECT_NE(at, std::string::npos);
    const std::size_t k = line.find("\"" + key + "\":", at);
    EXPECT_NE(k, std::string::npos);
    return std::strtod(line.c_str() + k + key.size() + 3 + (key == "rot" ? 1 : 0), nullptr);
}

TEST(TigerLevel, OffsetLineAndLeftKeySteerTheFirstTigerOnly) {
    const Played r = Play("1 key DIK_LEFT down\n11 key DIK_LEFT up\n", 12);
    for (std::size_t k = 1; k <= r.frames.size(); ++k)
        EXPECT_NE(r.frames[k - 1].find("\"text\":\"X 0 Y " + std::to_string(5 * (k - 1)) + "\""),
                  std::string::npos)
            << r.frames[k - 1];
    for (const std::size_t k : {10u, 12u}) {
        const std::string& f = r.frames[k - 1];
        EXPECT_NEAR(Field(f, 1, "z"), -2.0, 1e-5);
        EXPECT_NEAR(Field(f, 1, "rot"), -0.4292037, 1e-5);
        EXPECT_EQ(Field(f, 2, "z"), 0.0);
        EXPECT_FLOAT_EQ(static_cast<float>(Field(f, 2, "rot")), 1.5707964f);
    }
    EXPECT_EQ(Field(r.frames[0], 1, "materials"), 2.0);
}

TEST(TigerLevel, UpAndDownTogetherCancel) {
    const Played r = Play("1 key DIK_UP down\n1 key DIK_DOWN down\n", 20);
    const std::string& f = r.frames.back();
    EXPECT_NEAR(Field(f, 1, "x"), 0.0, 1e-6);
    EXPECT_NEAR(Field(f, 1, "z"), 0.0, 1e-6);
    EXPECT_NE(f.find("\"rot\":[1.5707964,0,0]"), std::string::npos) << f;
}

// Tiger orange (red well above green, green well above blue) in a column band.
int OrangePixels(const std::vector<std::uint32_t>& px, int x0, int x1) {
    int n = 0;
    for (int y = 0; y < 768; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = px[static_cast<std::size_t>(y) * 1024 + x];
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            n += r > 180 && g > 90 && g < r - 50 && b < g - 40;
        }
    return n;
}

TEST(TigerLevel, TwoTigersShowOverTheGroundOnceOneIsSteeredAway) {
    const Played r = Play("1 key DIK_LEFT down\n11 key DIK_LEFT up\n", 10, "10");
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
    ASSERT_TRUE(platform::ReadImageFile(r.dir + "/s.png", &px, &w, &h, nullptr));
    ASSERT_EQ(w, 1024);
    // The untouched tiger stands in the middle, the steered one to its left.
    EXPECT_GT(OrangePixels(px, 440, 590), 5000);
    EXPECT_GT(OrangePixels(px, 150, 440), 5000);
    EXPECT_LT(OrangePixels(px, 600, 1024), 100);
}

}  // namespace
