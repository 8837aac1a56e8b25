// What a run is given, as an attacker or a careless user gives it: content
// files that are not files or decode to gigabytes, bitmaps padded far beyond
// their pixels, content folders missing files, and unusable settings in the
// environment. Each is one line saying what it is, and the game goes on.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "app/content_folder.h"
#include "engine/renderer.h"
#include "game/velmor_levels.h"
#include "platform/core/image.h"
#include "platform/testing/scoped_env.h"
#include "support/run_process.h"
#include "support/scene_fixture.h"

namespace fs = std::filesystem;

namespace {

// A 16384 x 16384 run-length coded bitmap in about a kilobyte: a gigabyte decoded.
Bytes RunLengthBomb() {
    const Bytes runs = {0xFF, 0, 0xFF, 0, 0, 1};  // two runs of 255, end of bitmap
    Bytes b;
    testbmp::PutHeaders(&b, 16384, 16384, 8, 1, static_cast<std::uint32_t>(runs.size()), 256);
    b.resize(b.size() + 256 * 4, 0);
    b.insert(b.end(), runs.begin(), runs.end());
    return b;
}

// Names in the content that are not files, or decode past the image budget:
// one line each, and the level still starts (a named pipe is never opened to
// wait for a writer).
TEST(ContentFiles, EachIsOneLineSayingWhatItIs) {
    const std::string dir = "odd-content";
    fs::copy(VELMOR_CONTENT_DIR, dir, fs::copy_options::recursive);
    struct Row {
        const char* file;
        void (*make)(const std::string& path);
        const char* why;
    };
    const Row rows[] = {
        {"flower.bmp", [](const std::string& p) { fs::create_directory(p); },
         "it is a folder, not a file"},
        {"bunny.bmp", [](const std::string& p) { fs::create_symlink("/dev/zero", p); },
         "it is a device, not a file"},
        {"crosshair.bmp", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
         "it is a named pipe (FIFO), not a file"},
        {"magnum.wav", [](const std::string& p) { ASSERT_EQ(mkfifo(p.c_str(), 0600), 0); },
         "it is a named pipe (FIFO), not a file"},
        {"background.bmp", [](const std::string& p) { WriteBytes(p, RunLengthBomb()); },
         "image is 16384 \u00d7 16384, 1024 MiB decoded, more than the 64 MiB an image may take"},
    };
    for (const Row& row : rows) {
        fs::remove(dir + "/" + row.file);
        row.make(dir + "/" + row.file);
    }
    // The first bunny comes in frame 181.
    const auto r = RunProcess(VELMOR_BINARY, {"--headless", "--frames", "185", "--assets", dir},
                              {"VELMOR_TRACE"});
    EXPECT_EQ(r.status, 0) << r.err;
    for (const Row& row : rows)
        EXPECT_EQ(
            Count(r.err, std::string("velmor: cannot load '") + row.file + "': " + row.why + "\n"),
            1)
            << row.file << "\n"
            << r.err;
    EXPECT_EQ(Count(r.err, "\n"), static_cast<int>(std::size(rows))) << r.err;
}

// The header alone decides: planes, the decoded size (4096 x 4096 is the
// most), and how much of the file decoding reads.
TEST(BitmapHeader, PlanesBudgetAndTheBytesRead) {
    auto check = [](std::int32_t w, std::int32_t h, std::uint32_t compression, std::uint16_t planes,
                    std::uint64_t fileLength, platform::BitmapHeader* out) {
        Bytes b;
        testbmp::PutHeaders(&b, w, h, compression ? 8 : 24, compression, 0, compression ? 2 : 0);
        b[26] = static_cast<std::uint8_t>(planes);
        std::string why;
        return platform::CheckBitmapHeader(b.data(), b.size(), fileLength, out, &why) ? "" : why;
    };
    platform::BitmapHeader h;
    EXPECT_EQ(check(2, 2, 0, 0, 100, &h), "the bitmap has 0 colour planes, not 1");
    EXPECT_EQ(check(4096, 4096, 1, 1, 1000, &h), "");
    EXPECT_EQ(check(4097, 4096, 1, 1, 1000, &h),
              "image is 4097 \u00d7 4096, 65 MiB decoded, more than the 64 MiB an image may take");
    // 1 x 1 at 24 bits in 20 GB: the headers and one padded row.
    ASSERT_EQ(check(1, 1, 0, 1, std::uint64_t{20} << 30, &h), "");
    EXPECT_EQ(h.fileBytes, 54u + 4);
    // Run-length coded 4 x 2 in 20 GB: at most 2 bytes a pixel, 2 a row and 2 at the end.
    ASSERT_EQ(check(4, 2, 1, 1, std::uint64_t{20} << 30, &h), "");
    EXPECT_EQ(h.fileBytes, 54u + 8 + 16 + 4 + 2);
}

class TextureMemory : public SceneTest {
  protected:
    IDirect3DDevice9* Device() { return engine->renderer->device; }
    HRESULT Load(const char* name, UINT width, UINT height, IDirect3DTexture9** t) {
        return D3DXCreateTextureFromFileExA(Device(), name, width, height, 1, 0, D3DFMT_UNKNOWN,
                                            D3DPOOL_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                            nullptr, t);
    }
};

// A 1 x 1 bitmap padded (sparsely) to 20 GB loads from its first bytes.
TEST_F(TextureMemory, APaddedBitmapIsReadOnlyAsFarAsItsHeaderSays) {
    ASSERT_TRUE(testbmp::WriteSolid("padded.bmp", 1, 1, 0xFF123456));
    if (truncate("padded.bmp", std::int64_t{20} << 30) != 0) GTEST_SKIP() << "no sparse files";
    IDirect3DTexture9* t = nullptr;
    ASSERT_EQ(Load("padded.bmp", D3DX_DEFAULT, D3DX_DEFAULT, &t), D3D_OK);
    EXPECT_EQ(t->Texels()[0], 0xFF123456u);
    t->Release();
}

// Textures share the device's texture memory: each takes its texels while it
// lives, and one that does not fit what is left is refused before anything
// is allocated, with the file's line.
TEST_F(TextureMemory, TexturesShareABudgetAndOnePastItIsRefusedFirst) {
    const UINT before = Device()->GetAvailableTextureMem();
    ASSERT_TRUE(testbmp::WriteSolid("one.bmp", 2, 2, 0xFF00FF00));
    IDirect3DTexture9* t = nullptr;
    ASSERT_EQ(Load("one.bmp", D3DX_DEFAULT, D3DX_DEFAULT, &t), D3D_OK);
    EXPECT_EQ(Device()->GetAvailableTextureMem(), before - 16);
    IDirect3DTexture9* huge = nullptr;
    EXPECT_EQ(Device()->CreateTexture(16384, 16384, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &huge,
                                      nullptr),
              D3DERR_OUTOFVIDEOMEMORY);
    testing::internal::CaptureStderr();
    EXPECT_EQ(Load("one.bmp", 16384, 16384, &huge), D3DXERR_INVALIDDATA);
    platform::Shutdown();  // tells the load failures
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "velmor: cannot load 'one.bmp': image is 2 \u00d7 2, a 1024 MiB texture, more than "
              "the " +
                  std::to_string((before - 16) >> 20) + " MiB of texture memory left of 256 MiB\n");
    EXPECT_EQ(huge, nullptr);
    t->Release();
    EXPECT_EQ(Device()->GetAvailableTextureMem(), before);
}

// An installed velmor (P/bin/velmor beside P/share/velmor) whose content
// lacks one file still plays from it: the folder is chosen by the run's own
// files, not by the gallery's background alone.
TEST(ContentFolder, TheFolderHoldingTheRunsFilesIsChosen) {
    const std::string prefix = MakeTempDir("copied");
    fs::create_directories(prefix + "/bin");
    fs::create_directories(prefix + "/share");
    fs::copy_file(VELMOR_BINARY, prefix + "/bin/velmor");
    fs::copy(VELMOR_CONTENT_DIR, prefix + "/share/velmor", fs::copy_options::recursive);
    const std::string elsewhere = MakeTempDir("elsewhere");
    struct Row {
        std::vector<std::string> args;
        std::string missing;
    };
    for (const Row& row :
         {Row{{"--level", "sprite"}, "background.bmp"}, Row{{"--menu"}, "title.bmp"}}) {
        fs::remove(prefix + "/share/velmor/" + row.missing);
        std::vector<std::string> args = {"--headless", "--frames", "3"};
        args.insert(args.end(), row.args.begin(), row.args.end());
        const auto r = RunProcess(prefix + "/bin/velmor", args, {"VELMOR_TRACE"}, elsewhere);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "velmor: cannot load '" + row.missing + "': no such file\n");
    }
    fs::remove_all(prefix);
    fs::remove_all(elsewhere);

    // The first folder holding any of the files; none anywhere is "".
    const std::string a = MakeTempDir("a"), b = MakeTempDir("b");
    fs::copy_file(fs::path(VELMOR_CONTENT_DIR) / "tiger.x", a + "/Tiger.X");
    const std::vector<std::string> folders = {MakeTempDir("empty"), a, VELMOR_CONTENT_DIR};
    const GameInfo& velmor = VelmorGame();
    EXPECT_EQ(FindContentFolder(folders,
                                RunContentFiles(velmor, false, *FindLevel(velmor.levels, "tiger"))),
              a);
    EXPECT_EQ(FindContentFolder(
                  folders, RunContentFiles(velmor, false, *FindLevel(velmor.levels, "sprite"))),
              VELMOR_CONTENT_DIR);
    EXPECT_EQ(FindContentFolder({a, b}, RunContentFiles(velmor, true, velmor.levels.front())), "");
    const auto menu = RunContentFiles(velmor, true, velmor.levels.front());
    EXPECT_TRUE(std::find(menu.begin(), menu.end(), std::string_view("thumb_tiger.bmp")) !=
                menu.end());
}

// Every unusable value is told once, naming the variable, the value and
// what is used instead; values within range are taken silently.
TEST(Environment, UnusableSettingsAreToldOnceEach) {
    const std::string cores =
        std::to_string(std::clamp(std::thread::hardware_concurrency(), 1u, 64u));
    for (const std::string threads : {"0", "-1", "65", "abc", ""}) {
        const platform::ScopedEnv env("VELMOR_THREADS", threads);
        const auto r = RunProcess(VELMOR_BINARY, {"--headless", "--frames", "3"}, {"VELMOR_TRACE"});
        EXPECT_EQ(r.err, "velmor: VELMOR_THREADS='" + threads +
                             "' is not a whole number from 1 to 64; using " + cores + "\n");
    }
    // All at once, in a run that traces (a sound is missing) and makes a device.
    const std::string dir = "no-sound";
    fs::copy(VELMOR_CONTENT_DIR, dir, fs::copy_options::recursive);
    fs::remove(dir + "/magnum.wav");
    const platform::ScopedEnv pixels("VELMOR_PARALLEL_MIN_PIXELS", "abc");
    const platform::ScopedEnv simd("VELMOR_SIMD", "bogus");
    const platform::ScopedEnv trace("VELMOR_TRACE", "yes");
    const platform::ScopedEnv threads("VELMOR_THREADS", "2");
    const auto r = RunProcess(VELMOR_BINARY, {"--headless", "--frames", "30", "--assets", dir});
    EXPECT_EQ(r.status, 0);
    for (const std::string line :
         {"VELMOR_PARALLEL_MIN_PIXELS='abc' is not a whole number from 0 to 1125899906842624; "
          "using 4194304\n",
          "VELMOR_SIMD='bogus' is not scalar, sse2, avx2 or avx512; using ",
          "VELMOR_TRACE='yes' is not 0 or 1; using 0\n",
          "velmor: cannot load 'magnum.wav': no such file\n"})
        EXPECT_EQ(Count(r.err, line), 1) << line << r.err;
    EXPECT_EQ(Count(r.err, "\n"), 4) << r.err;
}

}  // namespace
