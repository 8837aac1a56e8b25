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
// xdrive.sh PLAN, with `env` ("NAME=value": XSCREEN, WM) set for both.
ProcessResult PlayWindowed(const std::string& dir, const std::string& plan,
                           const std::vector<std::string>& options,
                           const std::vector<std::string>& env = {}) {
    std::vector<std::string> args = env;
    args.insert(args.end(), {"/bin/bash", VELMOR_SOURCE_DIR "/tests/replay/xserver.sh", "bash",
                             VELMOR_SOURCE_DIR "/tests/replay/xdrive.sh", plan, VELMOR_BINARY});
    args.insert(args.end(), options.begin(), options.end());
    return RunProcess("/usr/bin/env", args, {}, dir);
}

// The numbers after `tag` on its line of `text`.
std::vector<int> Numbers(const std::string& text, const std::string& tag) {
    std::vector<int> out;
    const auto at = text.find(tag);
    if (at == std::string::npos) return out;
    std::istringstream line(text.substr(at + tag.size(), text.find('\n', at) - at - tag.size()));
    for (int v; line >> v;) out.push_back(v);
    return out;
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
                                  {"--frames", "600", "--record", "r.txt", "--dump", "window.jsonl",
                                   "--screenshot", "600:window.png"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("resized 640x400"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("F11 1280x1024 at 0,0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Alt+Enter 640x400"), std::string::npos) << run.out;
    // Twenty moves of 8,4 counts from the crosshair's start at 512,400.
    const std::string window = ReadFile(dir + "/window.jsonl");
    const auto last = window.rfind("\"class\":\"Cursor\"");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(window.substr(last, 40).find("\"x\":672,\"y\":480"), 17u) << window.substr(last, 40);
    EXPECT_EQ(ReadFile(dir + "/r.txt").find("key DIK_RETURN"), std::string::npos);

    const auto replay = Velmor(dir, {"--headless", "--input", "r.txt", "--frames", "600", "--dump",
                                     "replay.jsonl", "--screenshot", "600:replay.png"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    EXPECT_TRUE(ReadFile(dir + "/replay.jsonl") == window);
    EXPECT_TRUE(ReadFile(dir + "/replay.png") == ReadFile(dir + "/window.png"));
}

// Without a window manager nobody carries out a fullscreen request: F11
// still covers the screen and gives the window back as it was.
TEST(RecordWindowed, FullscreenTogglesBothWaysWithoutAWindowManager) {
    if (!CanPlayWindowed()) GTEST_SKIP() << "Xvfb or xdotool is missing: not run";
    const std::string dir = MakeTempDir("xbare");
    const auto run = PlayWindowed(dir, "window", {"--frames", "600"}, {"WM=none"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("resized 640x400"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("F11 1280x1024 at 0,0"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Alt+Enter 640x400"), std::string::npos) << run.out;
}

// Under a window manager on a 1366 x 768 desktop the window is made smaller
// and placed so that its frame, title bar included, is on the screen.
TEST(RecordWindowed, TheWindowAndItsFrameFitASmallDesktop) {
    if (!CanPlayWindowed() || Which("openbox").empty() || Which("xwininfo").empty())
        GTEST_SKIP() << "openbox or xwininfo is missing: not run";
    const std::string dir = MakeTempDir("xfit");
    const auto run = PlayWindowed(dir, "fit", {}, {"XSCREEN=1366x768x24"});
    ASSERT_EQ(run.status, 0) << run.err;
    const auto at = Numbers(run.out, "at "), size = Numbers(run.out, "size "),
               frame = Numbers(run.out, "frame ");  // left right top bottom
    ASSERT_TRUE(at.size() == 2 && size.size() == 2 && frame.size() == 4) << run.out;
    EXPECT_GT(frame[2], 0) << "no title bar: " << run.out;
    EXPECT_TRUE(at[0] - frame[0] >= 0 && at[1] - frame[2] >= 0 &&
                at[0] + size[0] + frame[1] <= 1366 && at[1] + size[1] + frame[3] <= 768)
        << run.out;
    EXPECT_LE(std::abs(size[0] * 3 - size[1] * 4), 4) << run.out;  // 4 : 3 to the pixel
}

// A click of a few milliseconds, press and release between two polls, fires
// the gallery's gun; the recording replays it headless with the shot heard.
TEST(RecordWindowed, AClickShorterThanAFrameFiresAndReplays) {
    if (!CanPlayWindowed()) GTEST_SKIP() << "Xvfb or xdotool is missing: not run";
    const std::string dir = MakeTempDir("xtap");
    const auto run = PlayWindowed(dir, "tap", {"--record", "r.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string recording = ReadFile(dir + "/r.txt");
    EXPECT_EQ(Count(recording, "button left down"), 3) << recording;
    const auto replay = Velmor(dir, {"--headless", "--input", "r.txt", "--audio-out", "r.wav"});
    ASSERT_EQ(replay.status, 0) << replay.err;
    const std::string wav = ReadFile(dir + "/r.wav");
    ASSERT_GT(wav.size(), 44u);
    EXPECT_NE(wav.find_first_not_of('\0', 44), std::string::npos) << "no shot was heard";
}

// The savanna never reads the mouse: its pointer goes anywhere. The
// gallery's crosshair owns the pointer, which stays in the window.
TEST(RecordWindowed, OnlyALevelThatReadsTheMouseHoldsThePointer) {
    if (!CanPlayWindowed()) GTEST_SKIP() << "Xvfb or xdotool is missing: not run";
    const std::string dir = MakeTempDir("xpointer");
    const auto savanna = PlayWindowed(dir, "pointer", {"--level", "savanna"});
    ASSERT_EQ(savanna.status, 0) << savanna.err;
    EXPECT_NE(savanna.out.find("pointer x:3 y:3 "), std::string::npos) << savanna.out;
    const auto gallery = PlayWindowed(dir, "pointer", {});
    ASSERT_EQ(gallery.status, 0) << gallery.err;
    EXPECT_NE(gallery.out.find("pointer x:"), std::string::npos) << gallery.out;
    EXPECT_EQ(gallery.out.find("pointer x:3 y:3 "), std::string::npos) << gallery.out;
}

}  // namespace
