// --record through the binary: recordings replay to the same run, a replay
// recorded again gives the same file, and windowed sessions played under Xvfb
// with xdotool replay headless frame for frame.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "support/run_process.h"

namespace {

ProcessResult Velmor(const std::string& dir, std::vector<std::string> args) {
    return RunProcess(VELMOR_BINARY, args, {}, dir);
}

TEST(Record, AScriptRecordedAgainIsTheSameScript) {
    const std::string dir = MakeTempDir("record");
    const std::string script =
        "0 clock 1710000000 500\n3 mouse 40 30\n5 wheel 1\n10 button left down\n"
        "11 clock 1710000007 20\n12 button left up\n20 focus out\n22 focus in\n"
        "30 key DIK_SPACE down\n31 key DIK_SPACE up\n40 key DIK_ESCAPE down\n";
    WriteFile(dir + "/s.txt", script);
    const auto r = Velmor(dir, {"--headless", "--input", "s.txt", "--record", "r.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(dir + "/r.txt"), script);
}

// A run on another clock start records the clock, so the plain replay
// spawns, seeds and times exactly as the run did.
TEST(Record, TheRecordedClockReplaysWithoutOptions) {
    const std::string dir = MakeTempDir("record");
    WriteFile(dir + "/s.txt", "1 mouse 350 250\n2 button left down\n");
    const auto run = Velmor(dir, {"--headless", "--clock-start", "1800000059", "--input", "s.txt",
                                  "--frames", "420", "--record", "r.txt", "--dump", "a.jsonl"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string recording = ReadFile(dir + "/r.txt");
    EXPECT_EQ(recording.rfind("0 clock 1800000059 0\n1 mouse 350 250\n2 clock 1800000059 16\n"
                              "2 button left down\n",
                              0),
              0u)
        << recording.substr(0, 200);
    EXPECT_NE(recording.find("# closed by --frames 420"), std::string::npos);
    const auto replay =
        Velmor(dir, {"--headless", "--input", "r.txt", "--frames", "420", "--dump", "b.jsonl"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    const std::string a = ReadFile(dir + "/a.jsonl");
    EXPECT_EQ(a, ReadFile(dir + "/b.jsonl"));
    EXPECT_GT(Count(a, "\"class\":\"Bunny\""), 0);
}

// Runs velmor windowed under an Xvfb of its own with `options`, played by
// xdrive.sh PLAN.
ProcessResult PlayWindowed(const std::string& dir, const std::string& plan,
                           const std::vector<std::string>& options) {
    std::vector<std::string> args = {VELMOR_SOURCE_DIR "/tests/replay/xserver.sh", "bash",
                                     VELMOR_SOURCE_DIR "/tests/replay/xdrive.sh", plan,
                                     VELMOR_BINARY};
    args.insert(args.end(), options.begin(), options.end());
    return RunProcess("/bin/bash", args, {}, dir);
}

bool CanPlayWindowed() { return !Which("Xvfb").empty() && !Which("xdotool").empty(); }

// A savanna session played with keys, recorded with its dump: the headless
// replay of the recording dumps the same frames and records the same file.
TEST(RecordWindowed, ASavannaSessionWithLionsReplaysHeadless) {
    if (!CanPlayWindowed()) GTEST_SKIP() << "Xvfb or xdotool is missing: not run";
    const std::string dir = MakeTempDir("xrecord");
    const auto run = PlayWindowed(dir, "savanna",
                                  {"--level", "savanna", "--record", "r.txt", "--dump", "w.jsonl"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string recording = ReadFile(dir + "/r.txt");
    EXPECT_NE(recording.find(" clock "), std::string::npos);
    const auto replay = Velmor(dir, {"--level", "savanna", "--headless", "--input", "r.txt",
                                     "--dump", "replay.jsonl", "--record", "again.txt"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    const std::string window = ReadFile(dir + "/w.jsonl");
    EXPECT_GT(Count(window, "\n"), 60);
    EXPECT_GT(Count(window, "\"class\":\"Lion\""), 0) << "the session never showed a lion";
    EXPECT_TRUE(window == ReadFile(dir + "/replay.jsonl")) << "the replay differs; see " << dir;
    EXPECT_EQ(ReadFile(dir + "/again.txt"), recording);
}

// Resizing and fullscreen change only how the frame is shown: the frame a
// screenshot takes is the one the headless replay presents, and every
// mouse count moves the crosshair by one pixel as before.
TEST(RecordWindowed, ResizeAndFullscreenChangeNeitherFramesNorMotion) {
    if (!CanPlayWindowed()) GTEST_SKIP() << "Xvfb or xdotool is missing: not run";
    const std::string dir = MakeTempDir("xwindow");
    const auto run = PlayWindowed(dir, "window",
                                  {"--frames", "400", "--record", "r.txt", "--dump", "window.jsonl",
                                   "--screenshot", "400:window.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("resized 640x400"), std::string::npos) << run.out;
    if (!Which("openbox").empty()) {  // fullscreen needs a window manager
        EXPECT_NE(run.out.find("F11 1280x1024"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("Alt+Enter 640x400"), std::string::npos) << run.out;
    }
    // Twenty moves of 8,4 counts from the crosshair's start at 512,400.
    const std::string window = ReadFile(dir + "/window.jsonl");
    const auto last = window.rfind("\"class\":\"Cursor\"");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(window.substr(last, 40).find("\"x\":672,\"y\":480"), 17u) << window.substr(last, 40);
    EXPECT_EQ(ReadFile(dir + "/r.txt").find("key DIK_RETURN"), std::string::npos);

    const auto replay = Velmor(dir, {"--headless", "--input", "r.txt", "--frames", "400", "--dump",
                                     "replay.jsonl", "--screenshot", "400:replay.png"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_TRUE(ReadFile(dir + "/replay.jsonl") == window);
    EXPECT_TRUE(ReadFile(dir + "/replay.png") == ReadFile(dir + "/window.png"));
}

}  // namespace
