// Hostile command lines and content as a user meets them: one line of our
// own naming the file and the reason, no design traces, and the right exit.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/bmp_writer.h"
#include "support/run_process.h"

namespace fs = std::filesystem;

namespace {

// A content folder copied from the build's, with `flower.bmp` claiming
// 30000 x 30000 in 12 KB and `magnum.wav` missing.
std::string BrokenContent() {
    const std::string dir = MakeTempDir("hostile");
    fs::copy(VELMOR_CONTENT_DIR, dir, fs::copy_options::recursive);
    Bytes bmp;
    testbmp::PutHeaders(&bmp, 30000, 30000, 24, 0, 0, 0);
    bmp.resize(12000, 0);
    WriteBytes(dir + "/flower.bmp", bmp);
    fs::remove(dir + "/magnum.wav");
    return dir;
}

TEST(HostileContent, BrokenFilesAreOneLineEachAndTheGameGoesOn) {
    const std::string dir = BrokenContent();
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
    fs::remove_all(dir);
}

TEST(HostileCommandLine, RefusedWithOneLineAndExit2) {
    const std::string dir = MakeTempDir("cli");
    WriteFile(dir + "/nul.txt", std::string("1 key DIK_\0LEFT down\n", 21));
    WriteFile(dir + "/big.txt", "1 " + std::string(1 << 20, 'x') + "\n");
    const std::vector<std::vector<std::string>> cases = {
        {"--frames", " 5"},
        {"--frames", "+5"},
        {"--input", dir},
        {"--assets", dir},
        {"--frames", "3", "--screenshot", "3:/dev/full"},
        {"--input", dir + "/nul.txt"},
        {"--input", dir + "/big.txt"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> all = {"--headless"};
        all.insert(all.end(), args.begin(), args.end());
        const auto r = RunProcess(VELMOR_BINARY, all, {"VELMOR_TRACE"});
        EXPECT_EQ(r.status, 2) << args.back();
        EXPECT_EQ(Count(r.err, "\n"), 1) << r.err;
        EXPECT_LT(r.err.size(), 200u) << args.back();
        EXPECT_EQ(r.err.find('\0'), std::string::npos);
    }
    EXPECT_NE(RunProcess(VELMOR_BINARY, {"--headless", "--input", dir + "/nul.txt"})
                  .err.find("'DIK_\\x00LEFT'"),
              std::string::npos);
    fs::remove_all(dir);
}

TEST(Signals, TermClosesTheWindowTheNormalWay) {
    const std::string dir = MakeTempDir("signal");
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string dump = dir + "/d.jsonl", wav = dir + "/a.wav",
                          shot = "5:" + dir + "/s.png";
        execl(VELMOR_BINARY, VELMOR_BINARY, "--headless", "--dump", dump.c_str(), "--audio-out",
              wav.c_str(), "--screenshot", shot.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    // Wait until frames are being dumped, then ask it to stop.
    for (int i = 0; i < 200 && ReadFile(dir + "/d.jsonl").size() < 100000; ++i) usleep(20000);
    kill(pid, SIGTERM);
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    const std::string dump = ReadFile(dir + "/d.jsonl");
    ASSERT_FALSE(dump.empty());
    EXPECT_EQ(dump.back(), '\n');  // no half-written line
    const Bytes wav = ReadBytes(dir + "/a.wav");
    ASSERT_GT(wav.size(), 60u);
    EXPECT_EQ(static_cast<std::size_t>(wav[4] | wav[5] << 8 | wav[6] << 16 | wav[7] << 24),
              wav.size() - 8);  // sizes on close
    EXPECT_TRUE(fs::exists(dir + "/s.png"));
    fs::remove_all(dir);
}

}  // namespace
