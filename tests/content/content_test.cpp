// Checks the generated content files: what the game relies on in each, and
// that the generator gives byte-identical files on every run.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "platform/core/image.h"
#include "platform/core/png.h"
#include "support/bytes.h"
#include "support/run_process.h"
#include "support/wave_image.h"

namespace {

const std::string kContent = VELMOR_CONTENT_DIR;

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}

constexpr std::uint32_t kMagenta = 0xFF00FF;

struct Image {
    int width = 0, height = 0;
    std::vector<std::uint32_t> rgb;  // 0xRRGGBB, top row first
    std::uint32_t At(int x, int y) const { return rgb[static_cast<std::size_t>(y) * width + x]; }
    bool Key(int x, int y) const { return At(x, y) == kMagenta; }
};

// Checks the bitmap's headers (uncompressed 24-bit, sizes consistent) and
// decodes it with the platform's own reader.
Image LoadBmp(const std::string& name) {
    Image im;
    const std::string path = kContent + "/" + name;
    const std::vector<std::uint8_t> b = ReadBytes(path);
    EXPECT_GE(b.size(), 54u) << name;
    if (b.size() < 54) return im;
    EXPECT_TRUE(b[0] == 'B' && b[1] == 'M') << name;
    EXPECT_EQ(Le32(b, 2), b.size()) << name << ": file size field";
    EXPECT_EQ(Le32(b, 14), 40u) << name << ": info header size";
    EXPECT_EQ(b[28] | (b[29] << 8), 24) << name << ": bits per pixel";
    EXPECT_EQ(Le32(b, 30), 0u) << name << ": compression";
    const std::uint32_t w = Le32(b, 18), h = Le32(b, 22);
    EXPECT_EQ(Le32(b, 10) + ((w * 3 + 3) & ~3u) * h, b.size()) << name << ": pixel data size";
    std::vector<std::uint32_t> argb;
    EXPECT_TRUE(platform::ReadImageFile(path, &argb, &im.width, &im.height, nullptr)) << name;
    for (std::uint32_t p : argb) im.rgb.push_back(p & 0xFFFFFF);
    EXPECT_TRUE(static_cast<std::uint32_t>(im.width) == w &&
                static_cast<std::uint32_t>(im.height) == h);
    return im;
}

int Red(std::uint32_t p) { return (p >> 16) & 0xFF; }
int Green(std::uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(std::uint32_t p) { return p & 0xFF; }

// A pixel that is nearly but not exactly the key colour would show as a pink
// fringe in the game.
bool NearKey(std::uint32_t p) {
    return p != kMagenta && Red(p) > 200 && Green(p) < 70 && Blue(p) > 200;
}

std::vector<std::uint32_t> Cell(const Image& im, int index, int w, int h) {
    const int columns = im.width / w;
    std::vector<std::uint32_t> out;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            out.push_back(im.At((index % columns) * w + x, (index / columns) * h + y));
    return out;
}

int Opaque(const std::vector<std::uint32_t>& cell) {
    return static_cast<int>(
        std::count_if(cell.begin(), cell.end(), [](std::uint32_t p) { return p != kMagenta; }));
}

TEST(ContentImages, EveryImageHasItsSizeAndCleanTransparency) {
    struct Expect {
        const char* name;
        int width, height;
        bool transparent;  // sprites have key-coloured corners; scenery has none
    };
    const Expect files[] = {
        {"background.bmp", 1024, 768, false},
        {"crosshair.bmp", 96, 96, true},
        {"flower.bmp", 128, 32, true},
        {"bunny.bmp", 288, 288, true},
        {"grass.bmp", 32, 32, true},
        {"giraffe.bmp", 32, 48, true},
        {"lion.bmp", 40, 28, true},
        {"lionleader.bmp", 40, 28, true},
        {"smallfont.bmp", 160, 60, true},
        {"player.bmp", 64, 64, true},
        {"enemy.bmp", 48, 48, true},
        {"bullet.bmp", 6, 16, true},
        {"groundtiles.bmp", 1024, 640, false},
        {"ball.bmp", 50, 50, true},
        {"paddle.bmp", 50, 50, true},
        {"brick.bmp", 50, 50, true},
        {"tiger.bmp", 256, 128, false},
    };
    for (const Expect& e : files) {
        SCOPED_TRACE(e.name);
        const Image im = LoadBmp(e.name);
        ASSERT_EQ(im.width, e.width);
        ASSERT_EQ(im.height, e.height);
        int key = 0, fringe = 0;
        for (std::uint32_t p : im.rgb) {
            key += p == kMagenta;
            fringe += NearKey(p);
        }
        EXPECT_EQ(fringe, 0) << "pixels close to but not exactly magenta";
        if (e.transparent) {
            EXPECT_TRUE(im.Key(0, 0) && im.Key(e.width - 1, 0) && im.Key(0, e.height - 1) &&
                        im.Key(e.width - 1, e.height - 1))
                << "corners must be transparent";
            EXPECT_LT(key, e.width * e.height) << "nothing drawn";
        } else {
            EXPECT_EQ(key, 0) << "an opaque image shows holes";
        }
    }
}

TEST(ContentImages, SpriteSheetsHaveDistinctFramesInsideTheirCells) {
    const Image bunny = LoadBmp("bunny.bmp");
    ASSERT_EQ(bunny.width, 288);
    std::set<std::vector<std::uint32_t>> frames;
    for (int f = 0; f < 9; ++f) {
        const std::vector<std::uint32_t> c = Cell(bunny, f, 96, 96);
        EXPECT_GT(Opaque(c), 96 * 96 / 12) << "bunny frame " << f << " is nearly empty";
        frames.insert(c);
        // Nothing touches the cell's border, so no frame bleeds into its neighbour.
        for (int i = 0; i < 96; ++i)
            ASSERT_TRUE(c[i] == kMagenta && c[95 * 96 + i] == kMagenta && c[i * 96] == kMagenta &&
                        c[i * 96 + 95] == kMagenta)
                << "frame " << f << " touches its border at " << i;
    }
    EXPECT_EQ(frames.size(), 9u) << "every bunny frame differs";

    // The bunny faces left: the upright sitting frame has most of its head
    // (the topmost third of the drawing) left of the body's middle.
    const std::vector<std::uint32_t> sit = Cell(bunny, 0, 96, 96);
    int top = 96, bottom = 0, left = 96, right = 0;
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x)
            if (sit[y * 96 + x] != kMagenta) {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    int headLeft = 0, headRight = 0;
    const int mid = (left + right) / 2;
    for (int y = top + (bottom - top) / 3; y < top + (bottom - top) / 2; ++y)
        for (int x = 0; x < 96; ++x)
            if (sit[y * 96 + x] != kMagenta) (x < mid ? headLeft : headRight)++;
    EXPECT_GT(headLeft, headRight);

    const Image flower = LoadBmp("flower.bmp");
    ASSERT_EQ(flower.width, 128);
    std::set<std::vector<std::uint32_t>> petals;
    for (int f = 0; f < 4; ++f)
        EXPECT_GT(Opaque(*petals.insert(Cell(flower, f, 32, 32)).first), 60) << f;
    EXPECT_GE(petals.size(), 3u);
}

TEST(ContentImages, CrosshairIsCentredAndLeadersDifferFromLionesses) {
    // The reticle's centre must be the image's centre: the picture is the same
    // mirrored left to right and top to bottom.
    const Image c = LoadBmp("crosshair.bmp");
    ASSERT_EQ(c.width, 96);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) {
            ASSERT_EQ(c.At(x, y), c.At(95 - x, y)) << x << "," << y;
            ASSERT_EQ(c.At(x, y), c.At(x, 95 - y)) << x << "," << y;
        }
    EXPECT_NE(c.At(47, 47), kMagenta) << "a mark at the centre";

    const Image lion = LoadBmp("lion.bmp"), leader = LoadBmp("lionleader.bmp");
    ASSERT_EQ(lion.rgb.size(), leader.rgb.size());
    int differ = 0;
    for (std::size_t i = 0; i < lion.rgb.size(); ++i) differ += lion.rgb[i] != leader.rgb[i];
    EXPECT_GT(differ, static_cast<int>(lion.rgb.size()) / 5);
}

TEST(ContentImages, BreakoutSpritesAreTheDiscsTheirBounceDistanceImplies) {
    // The ball bounces off a paddle or a brick when the top-left corners are
    // under 50 pixels apart; with every one of them a disc of diameter 50
    // filling its image, that is exactly when the pictures touch.
    for (const char* name : {"ball.bmp", "paddle.bmp", "brick.bmp"}) {
        SCOPED_TRACE(name);
        const Image im = LoadBmp(name);
        ASSERT_EQ(im.width, 50);
        ASSERT_EQ(im.height, 50);
        int wrong = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 50; ++x) {
                const double d = std::hypot(x + 0.5 - 25.0, y + 0.5 - 25.0);
                if (d < 24.0) wrong += im.Key(x, y);
                if (d > 25.5) wrong += !im.Key(x, y);
            }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(ContentFont, EveryCharacterHasItsOwnLegibleGlyph) {
    const Image font = LoadBmp("smallfont.bmp");
    ASSERT_EQ(font.width, 160);
    ASSERT_EQ(font.height, 60);
    std::map<std::vector<std::uint32_t>, int> seen;
    for (int code = 32; code <= 127; ++code) {
        const std::vector<std::uint32_t> g = Cell(font, code - 32, 8, 12);
        if (code == 32) {
            EXPECT_EQ(Opaque(g), 0) << "space is blank";
            continue;
        }
        int bright = 0;
        for (std::uint32_t p : g) bright += p != kMagenta && Red(p) > 200 && Green(p) > 200;
        EXPECT_GE(bright, 2) << "glyph " << code << " has no light ink";
        const auto [it, fresh] = seen.emplace(g, code);
        EXPECT_TRUE(fresh) << "glyphs " << it->second << " and " << code << " look the same";
    }
}

TEST(ContentGroundTiles, TilesJoinWithoutSeams) {
    const Image t = LoadBmp("groundtiles.bmp");
    ASSERT_EQ(t.width, 1024);
    ASSERT_EQ(t.height, 640);
    auto ox = [](int n) { return ((n - 1) % 16) * 64; };
    auto oy = [](int n) { return ((n - 1) / 16) * 64; };
    // Inner tiles (plain, decorations, variations) share the plain tile's edges,
    // so any two of them fit side by side.
    const std::set<int> border = {8, 9, 10, 18, 20, 28, 29, 30};
    for (int n = 1; n <= 160; ++n) {
        if (border.count(n)) continue;
        for (int i = 0; i < 64; ++i) {
            ASSERT_EQ(t.At(ox(n) + i, oy(n)), t.At(ox(158) + i, oy(158))) << "tile " << n;
            ASSERT_EQ(t.At(ox(n) + i, oy(n) + 63), t.At(ox(158) + i, oy(158) + 63)) << n;
            ASSERT_EQ(t.At(ox(n), oy(n) + i), t.At(ox(158), oy(158) + i)) << "tile " << n;
            ASSERT_EQ(t.At(ox(n) + 63, oy(n) + i), t.At(ox(158) + 63, oy(158) + i)) << n;
        }
    }
    // The borders face outwards: water on the outer side.
    auto watery = [](std::uint32_t p) { return Blue(p) > Red(p) + 40; };
    EXPECT_TRUE(watery(t.At(ox(9) + 32, oy(9))) && !watery(t.At(ox(9) + 32, oy(9) + 63)));
    EXPECT_TRUE(watery(t.At(ox(29) + 32, oy(29) + 63)) && !watery(t.At(ox(29) + 32, oy(29))));
    EXPECT_TRUE(watery(t.At(ox(18), oy(18) + 32)) && !watery(t.At(ox(18) + 63, oy(18) + 32)));
    EXPECT_TRUE(watery(t.At(ox(20) + 63, oy(20) + 32)) && !watery(t.At(ox(20), oy(20) + 32)));
}

TEST(ContentSound, GunshotReadsBackWithItsFormatAndShape) {
    const std::string path = kContent + "/magnum.wav";
    WAVEFORMATEX f{};
    ReadWave16(path, &f);
    EXPECT_EQ(std::tuple(f.wFormatTag, f.nChannels, f.nSamplesPerSec, f.wBitsPerSample),
              std::tuple(WAVE_FORMAT_PCM, 1, 22050u, 16));
    const std::vector<std::int16_t> s = ReadWave16(path);
    EXPECT_NEAR(s.size(), 22050 / 2, 22050 / 10);
    int peak = 0;
    for (int v : s) peak = std::max(peak, std::abs(v));
    const double dbfs = 20.0 * std::log10(peak / 32768.0);
    EXPECT_NEAR(dbfs, -1.0, 0.3);
    EXPECT_LT(std::abs(s.back()), 200) << "ends in silence without a click";
}

TEST(ContentSound, BreakoutSoundsAreShortPromptAndClean) {
    // name, shortest and longest in seconds: a hit sound longer than a few
    // frames would smear rapid hits together.
    const std::tuple<const char*, double, double> files[] = {
        {"paddlehit.wav", 0.05, 0.2}, {"brickhit.wav", 0.05, 0.2}, {"lostball.wav", 0.3, 1.0}};
    for (const auto& [name, shortest, longest] : files) {
        SCOPED_TRACE(name);
        WAVEFORMATEX f{};
        const std::vector<std::int16_t> s = ReadWave16(kContent + "/" + name, &f);
        EXPECT_EQ(f.nChannels * f.wBitsPerSample, 16);
        EXPECT_GE(s.size(), shortest * f.nSamplesPerSec);
        EXPECT_LE(s.size(), longest * f.nSamplesPerSec);
        int peak = 0, early = 0;
        for (std::size_t i = 0; i < s.size(); ++i) {
            peak = std::max(peak, std::abs(static_cast<int>(s[i])));
            if (i < f.nSamplesPerSec / 200) early = peak;
        }
        EXPECT_GT(peak, 16000) << "audible";
        EXPECT_LT(peak, 32000) << "no clipping";
        EXPECT_GT(early, peak / 3) << "loud within 5 ms, in the frame of its hit";
        EXPECT_LT(std::abs(s.front()), 2000) << "starts without a click";
        EXPECT_LT(std::abs(s.back()), 200) << "ends without a click";
    }
}

// The tiger's triangles are wound clockwise seen from the side their normals
// face (the front side under counter-clockwise culling).
TEST(ContentMesh, TigerTrianglesFaceTheirNormals) {
    const std::vector<std::uint8_t> bytes = ReadBytes(kContent + "/tiger.x");
    std::string text(bytes.begin(), bytes.end());
    ASSERT_EQ(text.substr(0, 16), "xof 0302txt 0032");
    for (char& c : text)
        if (c == ',' || c == ';' || c == '{' || c == '}') c = ' ';
    std::istringstream in(text.substr(text.find("Mesh ")));
    std::string word;
    auto numbers = [&](std::vector<double>* out, int n) {
        for (int i = 0; i < n; ++i) in >> (*out)[out->size() - n + i];
    };
    int nv = 0, nf = 0;
    in >> word >> word >> nv;
    std::vector<double> p(3 * nv), normals(3 * nv), faces;
    numbers(&p, 3 * nv);
    in >> nf;
    ASSERT_GE(nf, 500);
    for (int f = 0; f < nf; ++f) {
        faces.resize(faces.size() + 4);
        numbers(&faces, 4);
        ASSERT_EQ(faces[4 * f], 3);
        for (int k = 1; k < 4; ++k) ASSERT_TRUE(faces[4 * f + k] >= 0 && faces[4 * f + k] < nv);
    }
    in >> word >> nv;
    ASSERT_EQ(word, "MeshNormals");
    numbers(&normals, 3 * nv);
    int front = 0;
    for (int f = 0; f < nf; ++f) {
        const auto a = static_cast<int>(faces[4 * f + 1]), b = static_cast<int>(faces[4 * f + 2]),
                   c = static_cast<int>(faces[4 * f + 3]);
        double e1[3], e2[3], n[3];
        for (int k = 0; k < 3; ++k) {
            e1[k] = p[3 * b + k] - p[3 * a + k];
            e2[k] = p[3 * c + k] - p[3 * a + k];
            n[k] = normals[3 * a + k] + normals[3 * b + k] + normals[3 * c + k];
        }
        front += (e1[1] * e2[2] - e1[2] * e2[1]) * n[0] + (e1[2] * e2[0] - e1[0] * e2[2]) * n[1] +
                     (e1[0] * e2[1] - e1[1] * e2[0]) * n[2] >
                 0.0;
    }
    EXPECT_EQ(front, nf);
}

TEST(ContentGenerator, SameSourceGivesByteIdenticalFiles) {
    const std::string out = MakeTempDir("content");
    const ProcessResult run = RunProcess(VELMOR_ASSETGEN, {"--out", out});
    ASSERT_EQ(run.status, 0) << run.err;
    int compared = 0;
    for (const auto& e : std::filesystem::directory_iterator(out)) {
        const std::string name = e.path().filename().string();
        EXPECT_EQ(ReadBytes(e.path().string()), ReadBytes(kContent + "/" + name)) << name;
        ++compared;
    }
    EXPECT_EQ(compared, 22);
    std::filesystem::remove_all(out);
    // A bad option is refused with an error.
    EXPECT_NE(RunProcess(VELMOR_ASSETGEN, {"--bogus"}).status, 0);
}

TEST(ContentGenerator, ReadmeContactSheetIsCurrent) {
    // The contact sheet committed for the README shows the images as they are
    // now drawn (refresh it with the velmor_contact_sheet target).
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    std::vector<std::uint32_t> committed, built;
    ASSERT_TRUE(platform::ReadImageFile(std::string(VELMOR_SOURCE_DIR) + "/docs/contact-sheet.png",
                                        &committed, &w1, &h1, nullptr));
    ASSERT_TRUE(platform::ReadImageFile(std::string(VELMOR_CONTENT_DIR) + "/../contact-sheet.png",
                                        &built, &w2, &h2, nullptr));
    EXPECT_EQ(w1, w2);
    EXPECT_EQ(h1, h2);
    EXPECT_TRUE(committed == built) << "docs/contact-sheet.png is out of date";
}

}  // namespace
