// Hostile command lines and content as a user meets them (one line of our own
// naming the file and the reason, no design traces, the right exit); bitmap
// headers refused before any decoding; WAVE files written to a pipe.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "platform/core/image.h"
#include "support/bmp_writer.h"
#include "support/run_process.h"
#include "support/wave_image.h"

namespace fs = std::filesystem;

namespace {

// `flower.bmp` claims 30000 x 30000 in 12 KB and `magnum.wav` is missing.
// (Each test process works in a private folder of its own.)
TEST(HostileContent, BrokenFilesAreOneLineEachAndTheGameGoesOn) {
    const std::string dir = "hostile";
    fs::copy(VELMOR_CONTENT_DIR, dir, fs::copy_options::recursive);
    Bytes bmp;
    testbmp::PutHeaders(&bmp, 30000, 30000, 24, 0, 0, 0);
    bmp.resize(12000, 0);
    WriteBytes(dir + "/flower.bmp", bmp);
    fs::remove(dir + "/magnum.wav");
    WriteFile(dir + "/fire.txt", "10 button left down\n20 button left up\n");
    const auto r = RunProcess(VELMOR_BINARY,
                              {"--headless", "--frames", "60", "--assets", dir, "--input",
                               dir + "/fire.txt", "--screenshot", "60:" + dir + "/s.png"},
                              {"VELMOR_TRACE"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err,
              "velmor: cannot load 'magnum.wav': no such file\n"
              "velmor: cannot load 'flower.bmp': image is 30000 \u00d7 30000, larger than 16384\n");
    EXPECT_TRUE(fs::exists(dir + "/s.png"));
    // The design traces come back with VELMOR_TRACE=1.
    const auto traced = RunProcess(VELMOR_BINARY, {"--headless", "--frames", "3", "--assets", dir});
    EXPECT_NE(traced.err.find("hr=E_FAIL"), std::string::npos) << traced.err;
}

// A file the tiger level looks for in two places, and a display that cannot
// be opened: one line each, written as Linux paths, with nothing of the
// libraries' own before it.
TEST(MissingContent, OneLineEachNamingThePlacesTried) {
    for (const std::string file : {"tiger.bmp", "tiger.x"}) {
        const std::string dir = "without-" + file;
        fs::copy(VELMOR_CONTENT_DIR, dir, fs::copy_options::recursive);
        fs::remove(dir + "/" + file);
        const auto r = RunProcess(
            VELMOR_BINARY, {"--headless", "--level", "tiger", "--frames", "5", "--assets", dir},
            {"VELMOR_TRACE"});
        EXPECT_EQ(r.status, 0) << r.err;
        const std::string other = file == "tiger.x" ? "../Tiger.x" : "../tiger.bmp";
        EXPECT_EQ(r.err, "velmor: cannot load '" + file + "' (also tried '" + other +
                             "'): no such file\n");
    }
    const auto r = RunProcess(VELMOR_BINARY, {"--frames", "5"},
                              {"DISPLAY", "WAYLAND_DISPLAY", "XDG_RUNTIME_DIR", "SDL_VIDEODRIVER"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.err.starts_with("velmor: cannot open a display") && Count(r.err, "\n") == 1)
        << r.err;
}

TEST(HostileCommandLine, RefusedWithOneLineAndExit2) {
    WriteFile("nul.txt", std::string("1 key DIK_\0LEFT down\n", 21));
    WriteFile("big.txt", "1 " + std::string(1 << 20, 'x') + "\n");
    // Option and value, split at the first blank.
    for (const std::string c : {"--frames  5", "--frames +5", "--input .", "--assets .",
                                "--screenshot 3:/dev/full", "--input nul.txt", "--input big.txt"}) {
        const std::string option = c.substr(0, c.find(' ')), value = c.substr(c.find(' ') + 1);
        const auto r = RunProcess(VELMOR_BINARY, {"--headless", "--frames", "3", option, value},
                                  {"VELMOR_TRACE"});
        EXPECT_EQ(r.status, 2) << value;
        EXPECT_TRUE(Count(r.err, "\n") == 1 && r.err.size() < 200) << r.err;
        EXPECT_EQ(r.err.find('\0'), std::string::npos);
    }
    EXPECT_NE(
        RunProcess(VELMOR_BINARY, {"--headless", "--input", "nul.txt"}).err.find("'DIK_\\x00LEFT'"),
        std::string::npos);
}

// SIGTERM closes the window the normal way: whole dump lines, wave sizes
// written, the screenshot taken, exit 0.
TEST(Signals, TermClosesTheWindowTheNormalWay) {
    const pid_t pid = fork();
    if (pid == 0) {
        execl(VELMOR_BINARY, VELMOR_BINARY, "--headless", "--dump", "d.jsonl", "--audio-out",
              "a.wav", "--screenshot", "5:s.png", static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int i = 0; i < 200 && ReadFile("d.jsonl").size() < 100000; ++i) usleep(20000);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    const std::string text = ReadFile("d.jsonl");
    const Bytes w = ReadBytes("a.wav");
    ASSERT_TRUE(!text.empty() && w.size() > 60u);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(static_cast<std::size_t>(w[4] | w[5] << 8 | w[6] << 16 | w[7] << 24), w.size() - 8);
    EXPECT_TRUE(fs::exists("s.png"));
}

// Why a file of `size` bytes whose header claims w x h is refused ("" if not).
std::string Refusal(std::int32_t w, std::int32_t h, std::size_t size, int bits = 24) {
    Bytes b;
    if (size >= 54) testbmp::PutHeaders(&b, w, h, bits, 0, 0, 0);
    b.resize(size, 'n');
    platform::BitmapHeader header;
    std::string why;
    return platform::CheckBitmapHeader(b.data(), b.size(), b.size(), &header, &why) ? "" : why;
}

TEST(BitmapHeader, RefusesWhatCannotBeDecodedSafely) {
    EXPECT_NE(Refusal(4, 0x7FFFFFFF, 12000).find("larger than 16384"), std::string::npos);
    EXPECT_NE(Refusal(0, 4, 200).find("empty"), std::string::npos);
    EXPECT_NE(Refusal(100, 100, 200).find("too short"), std::string::npos);
    EXPECT_NE(Refusal(2, 2, 200, 13).find("13-bit"), std::string::npos);
    EXPECT_EQ(Refusal(0, 0, 0), "the file is empty");
    EXPECT_EQ(Refusal(0, 0, 3), "not a Windows bitmap");
    // Exactly enough bytes (the last row's padding may be missing), and top-down.
    EXPECT_EQ(Refusal(3, 2, 54 + 12 + 9), "");
    EXPECT_EQ(Refusal(3, -2, 54 + 24), "");
}

// RIFF and data size fields of zero or past the end play what the file holds;
// kTrue stands for the true size.
TEST(PipedWave, SizesOfZeroOrPastTheEndPlayWhatTheFileHolds) {
    const std::uint32_t kTrue = 0xFFFFFFFF;
    const std::uint32_t cases[][2] = {
        {0, 0}, {kTrue - 1, kTrue - 1}, {kTrue, 1001}, {1037, kTrue}, {0, kTrue}};
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
