// Checks the generated content files: what the game relies on in each, and
// that the generator gives byte-identical files on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "game/velmor_levels.h"
#include "platform/core/png.h"
#include "support/run_process.h"
#include "support/wave_image.h"

namespace {

const std::string kContent = VELMOR_CONTENT_DIR;

constexpr std::uint32_t kMagenta = 0xFF00FF;

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;  // 0xRRGGBB, top row first
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
    bool Key(int x, int y) const { return At(x, y) == kMagenta; }
};

// Decodes an uncompressed 24-bit bitmap (info header of 40 bytes, exact file
// size) with the platform's own reader.
Image LoadBmp(const std::string& name) {
    Image im;
    const std::string path = kContent + "/" + name;
    const Bytes b = ReadBytes(path);
    EXPECT_TRUE(b.size() > 54 && b[14] == 40 && b[28] == 24 && b[30] == 0 &&
                (b[2] | b[3] << 8 | b[4] << 16) == static_cast<int>(b.size()))
        << name;
    std::vector<std::uint32_t> argb;
    EXPECT_TRUE(platform::ReadImageFile(path, &argb, &im.width, &im.height, nullptr)) << name;
    for (std::uint32_t p : argb) im.rgb.push_back(p & 0xFFFFFF);
    return im;
}

int Red(std::uint32_t p) { return (p >> 16) & 0xFF; }
int Green(std::uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(std::uint32_t p) { return p & 0xFF; }

std::vector<std::uint32_t> Cell(const Image& im, int index, int w, int h) {
    const int columns = im.width / w;
    std::vector<std::uint32_t> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back(im.At((index % columns) * w + x, (index / columns) * h + y));
    return out;
}

int Opaque(const std::vector<std::uint32_t>& cell) {
    return static_cast<int>(cell.size() - std::count(cell.begin(), cell.end(), kMagenta));
}

TEST(ContentImages, EveryImageHasItsSizeAndCleanTransparency) {
    // Name, size, and 1 for a sprite with key-coloured corners, 2 for the pointer (keyed
    // corners but the top-left one, its tip) or 0 for scenery with no key.
    std::istringstream files(
        "background 1024 768 0 crosshair 96 96 1 flower 128 32 1 bunny 288 288 1 grass 32 32 1 "
        "giraffe 32 48 1 lion 40 28 1 lionleader 40 28 1 smallfont 160 60 1 player 64 64 1 "
        "enemy 48 48 1 bullet 6 16 1 groundtiles 1024 640 0 ball 50 50 1 paddle 50 50 1 "
        "brick 50 50 1 tiger 256 128 0 title 512 96 1 pointer 32 32 2 menuframe 140 108 1 "
        "thumb_sprite 128 96 0 thumb_savanna 128 96 0 thumb_shooter 128 96 0 "
        "thumb_tiger 128 96 0 thumb_breakout 128 96 0");
    std::string name;
    int w = 0, h = 0, transparent = 0, count = 0;
    while (files >> name >> w >> h >> transparent && ++count) {
        SCOPED_TRACE(name);
        const Image im = LoadBmp(name + ".bmp");
        ASSERT_EQ(std::pair(im.width, im.height), std::pair(w, h));
        int key = 0, fringe = 0;  // a nearly-magenta pixel shows as a pink fringe
        for (std::uint32_t p : im.rgb) {
            key += p == kMagenta;
            fringe += p != kMagenta && Red(p) > 200 && Green(p) < 70 && Blue(p) > 200;
        }
        EXPECT_EQ(fringe, 0);
        if (transparent)
            EXPECT_TRUE(im.Key(0, 0) == (transparent == 1) && im.Key(w - 1, 0) &&
                        im.Key(0, h - 1) && im.Key(w - 1, h - 1) && key < w * h);
        else
            EXPECT_EQ(key, 0) << "an opaque image shows holes";
    }
    EXPECT_EQ(count, 25);
}

// The menu draws the frame at a thumbnail's corner less (6, 6): the thumbnail
// shows through the whole window, and the frame meets its edges all round.
TEST(ContentImages, MenuFrameWindowFitsAThumbnail) {
    const Image frame = LoadBmp("menuframe.bmp");
    int window = 0, rim = 0;
    for (int y = 5; y <= 102; ++y)
        for (int x = 5; x <= 134; ++x) {
            const bool inside = x > 5 && x < 134 && y > 5 && y < 102;
            (inside ? window : rim) += frame.Key(x, y) == inside;
        }
    EXPECT_EQ(window, 128 * 96);
    EXPECT_EQ(rim, 2 * (130 + 96));
}

TEST(ContentImages, SheetFramesDifferAndStayInsideTheirCells) {
    const Image bunny = LoadBmp("bunny.bmp");
    std::set<std::vector<std::uint32_t>> frames;
    for (int f = 0; f < 9; ++f) {
        const std::vector<std::uint32_t> c = Cell(bunny, f, 96, 96);
        EXPECT_GT(Opaque(c), 96 * 96 / 12) << "bunny frame " << f << " is nearly empty";
        EXPECT_TRUE(frames.insert(c).second) << "frame " << f << " repeats another";
        for (int i = 0; i < 96; ++i)  // nothing bleeds into the neighbouring cell
            ASSERT_TRUE(c[i] == kMagenta && c[95 * 96 + i] == kMagenta && c[i * 96] == kMagenta &&
                        c[i * 96 + 95] == kMagenta)
                << "frame " << f << " touches its border at " << i;
    }
    // The bunny faces left: more of the sitting frame's upper rows lie left of its middle.
    const std::vector<std::uint32_t> sit = Cell(bunny, 0, 96, 96);
    int top = 96, bottom = 0, left = 96, right = 0, headLeft = 0, headRight = 0;
    for (int i = 0; i < 96 * 96; ++i)
        if (sit[i] != kMagenta)
            top = std::min(top, i / 96), bottom = std::max(bottom, i / 96),
            left = std::min(left, i % 96), right = std::max(right, i % 96);
    for (int i = (top + (bottom - top) / 3) * 96; i < (top + (bottom - top) / 2) * 96; ++i)
        if (sit[i] != kMagenta) (i % 96 < (left + right) / 2 ? headLeft : headRight)++;
    EXPECT_GT(headLeft, headRight);

    const Image flower = LoadBmp("flower.bmp");
    std::set<std::vector<std::uint32_t>> petals;
    for (int f = 0; f < 4; ++f)
        EXPECT_GT(Opaque(*petals.insert(Cell(flower, f, 32, 32)).first), 60) << f;
    EXPECT_GE(petals.size(), 3u);
    // The crosshair's centre is the image's centre (mirror-symmetric both ways).
    const Image c = LoadBmp("crosshair.bmp");
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x)
            ASSERT_TRUE(c.At(x, y) == c.At(95 - x, y) && c.At(x, y) == c.At(x, 95 - y)) << x << y;
    EXPECT_NE(c.At(47, 47), kMagenta);
    const Image lion = LoadBmp("lion.bmp"), leader = LoadBmp("lionleader.bmp");
    int differ = 0;
    for (std::size_t i = 0; i < lion.rgb.size(); ++i) differ += lion.rgb[i] != leader.rgb[i];
    EXPECT_GT(differ, static_cast<int>(lion.rgb.size()) / 5);
}

// The ball bounces when top-left corners are under 50 pixels apart; with each
// sprite a disc of diameter 50 filling its image, that is when the pictures touch.
TEST(ContentImages, BreakoutSpritesAreDiscsOfDiameter50) {
    for (const char* name : {"ball.bmp", "paddle.bmp", "brick.bmp"}) {
        const Image im = LoadBmp(name);
        int wrong = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) {
                const double d = std::hypot(x + 0.5 - 25.0, y + 0.5 - 25.0);
                wrong += (d < 24.0 && im.Key(x, y)) + (d > 25.5 && !im.Key(x, y));
            }
        EXPECT_EQ(wrong, 0) << name;
    }
}

TEST(ContentFont, EveryCharacterHasItsOwnLegibleGlyph) {
    const Image font = LoadBmp("smallfont.bmp");
    EXPECT_EQ(Opaque(Cell(font, 0, 8, 12)), 0) << "space is blank";
    std::map<std::vector<std::uint32_t>, int> seen;
    for (int code = 33; code <= 127; ++code) {
        const std::vector<std::uint32_t> g = Cell(font, code - 32, 8, 12);
        int bright = 0;
        for (std::uint32_t p : g) bright += p != kMagenta && Red(p) > 200 && Green(p) > 200;
        EXPECT_GE(bright, 2) << "glyph " << code << " has no light ink";
        const auto [it, fresh] = seen.emplace(g, code);
        EXPECT_TRUE(fresh) << "glyphs " << it->second << " and " << code << " look the same";
    }
}

// Inner tiles share the plain tile's (158) edges, so any two fit side by side;
// the border tiles have water on their outer side.
TEST(ContentGroundTiles, TilesJoinWithoutSeams) {
    const Image t = LoadBmp("groundtiles.bmp");
    auto at = [&](int n, int x, int y) {
        return t.At((n - 1) % 16 * 64 + x, (n - 1) / 16 * 64 + y);
    };
    const std::set<int> border = {8, 9, 10, 18, 20, 28, 29, 30};
    for (int n = 1; n <= 160; ++n)
        for (int i = 0; i < 64 && !border.count(n); ++i)
            ASSERT_TRUE(at(n, i, 0) == at(158, i, 0) && at(n, i, 63) == at(158, i, 63) &&
                        at(n, 0, i) == at(158, 0, i) && at(n, 63, i) == at(158, 63, i))
                << "tile " << n << " at " << i;
    auto watery = [&](int n, int x, int y) { return Blue(at(n, x, y)) > Red(at(n, x, y)) + 40; };
    EXPECT_TRUE(watery(9, 32, 0) && !watery(9, 32, 63) && watery(29, 32, 63) &&
                !watery(29, 32, 0) && watery(18, 0, 32) && !watery(18, 63, 32) &&
                watery(20, 63, 32) && !watery(20, 0, 32));
}

TEST(ContentSound, SoundsHaveTheirLengthLevelAndCleanEnds) {
    // Name, seconds (a hit sound longer than a few frames smears rapid hits), least peak.
    const std::tuple<const char*, double, double, int> files[] = {
        {"magnum.wav", 0.4, 0.6, 28000},
        {"paddlehit.wav", 0.05, 0.2, 16000},
        {"brickhit.wav", 0.05, 0.2, 16000},
        {"lostball.wav", 0.3, 1.0, 16000}};
    for (const auto& [name, shortest, longest, loud] : files) {
        SCOPED_TRACE(name);
        WAVEFORMATEX f{};
        const std::vector<std::int16_t> s = ReadWave16(kContent + "/" + name, &f);
        EXPECT_EQ(f.nChannels * f.wBitsPerSample, 16);  // 16-bit mono
        EXPECT_TRUE(s.size() >= shortest * f.nSamplesPerSec &&
                    s.size() <= longest * f.nSamplesPerSec);
        int peak = 0, early = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(s[i])));
            if (i < f.nSamplesPerSec / 200) early = peak;
        }
        EXPECT_TRUE(peak > loud && peak < 32000) << peak;  // audible, not clipped
        EXPECT_GT(early, peak / 3) << "loud within 5 ms, in the frame of its hit";
        EXPECT_LT(std::abs(s.front()), 2000) << "starts without a click";
        EXPECT_LT(std::abs(s.back()), 200) << "ends without a click";
    }
}

// The tiger's triangles are wound clockwise seen from the side their normals
// face (the front side under counter-clockwise culling).
TEST(ContentMesh, TigerTrianglesFaceTheirNormals) {
    const Bytes bytes = ReadBytes(kContent + "/tiger.x");
    std::string text(bytes.begin(), bytes.end());
    std::replace_if(
        text.begin(), text.end(), [](char c) { return std::strchr(",;{}", c); }, ' ');
    std::istringstream in(text.substr(text.find("Mesh ")));
    std::string word;
    auto numbers = [&](auto zero, int n) {
        std::vector<decltype(zero)> v(n);
        for (auto& x : v) in >> x;
        return v;
    };
    int nv = 0, nf = 0;
    in >> word >> word >> nv;
    const std::vector<double> p = numbers(0.0, 3 * nv);
    in >> nf;
    ASSERT_GE(nf, 500);
    const std::vector<int> faces = numbers(0, 4 * nf);
    in >> word >> nv;
    ASSERT_EQ(word, "MeshNormals");
    const std::vector<double> normals = numbers(0.0, 3 * nv);
    for (int f = 0; f < nf; ++f) {
        const int* c = &faces[4 * f];
        ASSERT_TRUE(c[0] == 3 && c[1] < nv && c[2] < nv && c[3] < nv) << f;
        double e1[3], e2[3], n[3];
        for (int k = 0; k < 3; ++k) {
            e1[k] = p[3 * c[2] + k] - p[3 * c[1] + k];
            e2[k] = p[3 * c[3] + k] - p[3 * c[1] + k];
            n[k] = normals[3 * c[1] + k] + normals[3 * c[2] + k] + normals[3 * c[3] + k];
        }
        EXPECT_GT((e1[1] * e2[2] - e1[2] * e2[1]) * n[0] + (e1[2] * e2[0] - e1[0] * e2[2]) * n[1] +
                      (e1[0] * e2[1] - e1[1] * e2[0]) * n[2],
                  0.0)
            << "face " << f;
    }
}

// The generator writes exactly the files the levels and the menu open, the
// same bytes on every run; each level's thumbnail is its scene at screen size
// (as --previews writes it) averaged over 8 x 8 blocks; and the README's
// contact sheet shows the images as now drawn (refresh: velmor_contact_sheet).
TEST(ContentGenerator, WritesTheGamesFilesByteIdenticallyAndContactSheetIsCurrent) {
    const std::string out = MakeTempDir("content"), previews = MakeTempDir("previews");
    const ProcessResult run = RunProcess(VELMOR_ASSETGEN, {"--out", out, "--previews", previews});
    ASSERT_EQ(run.status, 0) << run.err;
    std::set<std::string> written, named(MenuFiles().begin(), MenuFiles().end());
    named.insert(VelmorGame().titlePicture);
    for (const auto& e : std::filesystem::directory_iterator(out)) {
        EXPECT_EQ(ReadBytes(e.path()), ReadBytes(kContent / e.path().filename())) << e.path();
        written.insert(e.path().filename().string());
    }
    for (const LevelInfo& level : VelmorGame().levels) {
        named.insert(level.contentFiles.begin(), level.contentFiles.end());
        named.insert(level.thumbnail);
        SCOPED_TRACE(level.thumbnail);
        const Image thumb = LoadBmp(level.thumbnail);
        EXPECT_GE(std::set<std::uint32_t>(thumb.rgb.begin(), thumb.rgb.end()).size(), 64u)
            << "a thumbnail that shows next to nothing";
        Image scene;
        const std::string name = level.name == std::string("sprite") ? "gallery" : level.name;
        ASSERT_TRUE(platform::ReadImageFile(previews + "/" + name + "-preview.png", &scene.rgb,
                                            &scene.width, &scene.height, nullptr));
        ASSERT_EQ(std::pair(scene.width / 8, scene.height / 8), std::pair(128, 96));
        int off = 0;
        for (int y = 0; y < 96; ++y)
            for (int x = 0; x < 128; ++x)
                for (int shift : {0, 8, 16}) {
                    int sum = 0;
                    for (int j = 0; j < 64; ++j)
                        sum += (scene.At(8 * x + j % 8, 8 * y + j / 8) >> shift) & 0xFF;
                    off +=
                        std::abs(sum / 64 - static_cast<int>((thumb.At(x, y) >> shift) & 0xFF)) > 1;
                }
        EXPECT_EQ(off, 0);
    }
    EXPECT_EQ(written, named);
    std::filesystem::remove_all(out);
    std::filesystem::remove_all(previews);
    EXPECT_NE(RunProcess(VELMOR_ASSETGEN, {"--bogus"}).status, 0);
    int w[2] = {}, h[2] = {};
    std::vector<std::uint32_t> sheet[2];
    for (int i = 0; i < 2; ++i)
        ASSERT_TRUE(platform::ReadImageFile(
            i ? kContent + "/../contact-sheet.png" : VELMOR_SOURCE_DIR "/docs/contact-sheet.png",
            &sheet[i], &w[i], &h[i], nullptr));
    EXPECT_TRUE(w[0] == w[1] && sheet[0] == sheet[1]) << "docs/contact-sheet.png is out of date";
}

}  // namespace
