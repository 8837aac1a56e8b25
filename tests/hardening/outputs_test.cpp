// What a run leaves of its outputs however it stops: a signal, a kill, a
// closed pipe, a failed write, a full file. The audio file always states
// what it holds, the dump holds whole lines, a recording replays without
// options, a screenshot is never half written. Each test process works in a
// private folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>

#include "app/run_observers.h"
#include "platform/core/png.h"
#include "platform/core/window.h"
#include "sound/sound_device.h"
#include "support/run_process.h"
#include "support/wave_image.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint32_t kSecond = 44100 * 4;  // bytes of a second of sound

// Starts velmor with `args`; `child` runs in the child before the program.
pid_t Start(
    const std::vector<std::string>& args, const std::function<void()>& child = [] {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        child();
        std::vector<char*> argv{const_cast<char*>(VELMOR_BINARY)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(VELMOR_BINARY, argv.data());
        _exit(127);
    }
    return pid;
}

int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// What a WAVE file velmor wrote states (RIFF and data sizes; its header is
// RIFF, fmt, fact and data: 56 bytes) and the file's own size.
struct WaveSizes {
    std::uint32_t riff = 0, data = 0;
    std::size_t file = 0;
};

WaveSizes SizesOf(const std::string& path) {
    const Bytes b = ReadBytes(path);
    const auto le32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                          b[at + 3] << 24);
    };
    WaveSizes s;
    s.file = b.size();
    if (b.size() >= 56 && std::string(b.begin(), b.begin() + 4) == "RIFF" &&
        std::string(b.begin() + 48, b.begin() + 52) == "data")
        s.riff = le32(4), s.data = le32(52);
    return s;
}

// INT and HUP close the window the normal way, as TERM does (cli_test); a
// kill leaves what is on disk. Either way the audio file states at least all
// but the last second it holds, and the recording replays without options
// to the dump's frames: all of them, or, killed, those it holds whole.
TEST(Stops, EverySignalLeavesAFileThatPlaysAndARecordingThatReplays) {
    WriteFile("s.in", "5 key DIK_RIGHT down\n40 key DIK_RIGHT up\n50 key DIK_SPACE down\n");
    for (const int sig : {SIGINT, SIGHUP, SIGKILL}) {
        SCOPED_TRACE(strsignal(sig));
        for (const char* file : {"r.txt", "d.jsonl", "a.wav", "s.png"}) fs::remove(file);
        const pid_t pid =
            Start({"--headless", "--level", "shooter", "--input", "s.in", "--record", "r.txt",
                   "--dump", "d.jsonl", "--audio-out", "a.wav", "--screenshot", "5:s.png"});
        // Three seconds of play, at least, before the signal.
        for (int i = 0; i < 1000 && Count(ReadFile("d.jsonl"), "\n") < 180; ++i) usleep(10000);
        kill(pid, sig);
        const int status = Wait(pid);
        const WaveSizes w = SizesOf("a.wav");
        EXPECT_GE(w.data, 2 * kSecond);
        EXPECT_EQ(w.riff, w.data + 48);
        EXPECT_EQ(ReadWave16("a.wav").size(), w.data / 2);
        const std::string dump = ReadFile("d.jsonl");
        if (sig == SIGKILL) {
            EXPECT_TRUE(WIFSIGNALED(status)) << status;
            EXPECT_LE(w.file, w.riff + 8 + kSecond + 65536);
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
            EXPECT_EQ(w.file, w.riff + 8u);
            EXPECT_EQ(dump.back(), '\n');
        }
        EXPECT_TRUE(fs::exists("s.png"));
        // (--frames only bounds a replay that would not end.)
        const auto replay = RunProcess(
            VELMOR_BINARY, {"--headless", "--level", "shooter", "--input", "r.txt", "--dump",
                            "e.jsonl", "--frames", std::to_string(Count(dump, "\n") + 600)});
        ASSERT_EQ(replay.status, 0) << replay.err;
        const std::string again = ReadFile("e.jsonl");
        EXPECT_GE(Count(again, "\n"), 179);
        EXPECT_TRUE(sig == SIGKILL ? dump.starts_with(again) : dump == again)
            << Count(dump, "\n") << " frames run, " << Count(again, "\n") << " replayed";
    }
}

// A closed pipe on both outputs (`velmor ... 2>&1 | head -1` once head has
// gone) does not end the run: the lines are lost, the files are whole. A
// write that fails (a full disk, the file size limit) ends the run the normal
// way with one line naming the file and why, and the files stay whole.
TEST(Stops, AClosedPipeOrAFailedWriteLeavesWholeFiles) {
    const std::string content = "content";
    fs::copy(VELMOR_CONTENT_DIR, content, fs::copy_options::recursive);
    fs::remove(content + "/magnum.wav");  // a line on standard error as the level starts
    int closed[2];
    ASSERT_EQ(pipe(closed), 0);
    close(closed[0]);
    const auto intoClosedPipe = [&] {
        signal(SIGPIPE, SIG_DFL);  // as a shell starts it
        dup2(closed[1], 1), dup2(closed[1], 2);
    };
    const int piped = Wait(Start({"--headless", "--frames", "120", "--assets", content,
                                  "--audio-out", "p.wav", "--dump", "p.jsonl"},
                                 intoClosedPipe));
    EXPECT_TRUE(WIFEXITED(piped) && WEXITSTATUS(piped) == 0) << piped;
    EXPECT_EQ(SizesOf("p.wav").data, 120u * 735 * 4);
    EXPECT_EQ(Count(ReadFile("p.jsonl"), "\n"), 120);
    const int help = Wait(Start({"--help"}, intoClosedPipe));
    EXPECT_TRUE(WIFEXITED(help) && WEXITSTATUS(help) == 2) << help;
    close(closed[1]);

    // A full dump stops the run at once.
    const auto full = RunProcess(VELMOR_BINARY,
                                 {"--headless", "--frames", "3000", "--dump", "/dev/full",
                                  "--audio-out", "f.wav", "--record", "f.txt"},
                                 {"VELMOR_TRACE"});
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "velmor: --dump: writing '/dev/full' failed: No space left on device\n");
    const WaveSizes f = SizesOf("f.wav");
    EXPECT_TRUE(f.data > 0 && f.data < kSecond && f.file == f.riff + 8u) << f.data;
    const std::string recording = ReadFile("f.txt");
    EXPECT_NE(recording.find(" close  # stopped: an output could not go on\n"), std::string::npos)
        << recording;

    // Past a file size limit of 1 MB the audio file keeps the sizes of its
    // last whole second.
    const pid_t limited = Start({"--headless", "--frames", "3000", "--audio-out", "l.wav"}, [] {
        const rlimit limit{1000000, 1000000};
        setrlimit(RLIMIT_FSIZE, &limit);
        unsetenv("VELMOR_TRACE");
        dup2(open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    });
    const int status = Wait(limited);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    const std::string err = ReadFile("err.txt");
    EXPECT_TRUE(Count(err, "\n") == 1 && err.ends_with("l.wav' failed: File too large\n")) << err;
    const WaveSizes l = SizesOf("l.wav");
    EXPECT_TRUE(l.data >= 4 * kSecond && l.riff == l.data + 48 && l.file <= 1000000) << l.data;
}

// Past what a WAVE file can state (a little under 4 GiB) the file ends whole
// and the run is told why: here a lower cap stands in for the format's. The
// file is whole from the moment it is made.
TEST(Stops, AFullAudioFileEndsWholeAndSaysSo) {
    const WNDCLASSEXA wc{.lpfnWndProc = DefWindowProcA, .lpszClassName = "full-test"};
    RegisterClassExA(&wc);
    HWND window =
        CreateWindowExA(0, "full-test", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    platform::UseClockDrivenAudio();
    CSoundDevice device;
    ASSERT_EQ(device.Initialize(window, DSSCL_PRIORITY), S_OK);
    AudioCapture capture(1000 * 4 + 3);
    std::string error;
    ASSERT_TRUE(capture.Open("full.wav", &error)) << error;
    EXPECT_EQ(SizesOf("full.wav").riff, 48u);
    platform::AdvanceAudio(735);
    EXPECT_FALSE(capture.Failed());
    platform::AdvanceAudio(735);
    EXPECT_TRUE(capture.Failed());
    EXPECT_FALSE(capture.Finish(&error));
    EXPECT_NE(error.find("'full.wav' is full: a WAVE file holds at most 4 GiB"), std::string::npos)
        << error;
    const WaveSizes w = SizesOf("full.wav");
    EXPECT_TRUE(w.data == 4000 && w.riff == 4048 && w.file == 4056) << w.data;
    // The format's own cap for the header velmor writes.
    CRiffWave wave;
    const WAVEFORMATEX f{WAVE_FORMAT_PCM, 2, 44100, kSecond, 4, 16, 0};
    ASSERT_EQ(wave.Open("cap.wav", &f, WAVEFILE_WRITE), S_OK);
    EXPECT_EQ(wave.MaxDataBytes(), 0xFFFFFFFFu - 48);
}

// A screenshot replaces its file whole and never writes into it: a file
// linked under another name keeps its old bytes there, a symbolic link still
// names the new picture, and a kill while pictures are written leaves the
// last whole one.
TEST(Stops, AScreenshotReplacesItsFileWhole) {
    // A folder of its own: the count of files below is of this test's alone.
    const fs::path before = fs::current_path();
    fs::current_path(MakeTempDir("shots"));
    WriteFile("old.png", "old");
    fs::create_hard_link("old.png", "hard.png");
    WriteFile("target.png", "old");
    fs::create_symlink("target.png", "soft.png");
    const auto r = RunProcess(VELMOR_BINARY, {"--headless", "--frames", "3", "--screenshot",
                                              "2:hard.png", "--screenshot", "3:soft.png"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(ReadFile("old.png") == "old");
    EXPECT_TRUE(fs::is_symlink("soft.png"));
    std::string error;
    for (const char* name : {"hard.png", "target.png"}) {
        std::vector<std::uint32_t> pixels;
        int w = 0, h = 0;
        EXPECT_TRUE(platform::ReadImageFile(name, &pixels, &w, &h, &error) && w == 1024) << name;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 4);

    std::vector<std::string> args{"--headless"};
    for (int frame = 1; frame <= 1000; ++frame)
        args.insert(args.end(), {"--screenshot", std::to_string(frame) + ":many.png"});
    const pid_t pid = Start(args);
    for (int i = 0; i < 1000 && !fs::exists("many.png"); ++i) usleep(10000);
    usleep(300000);
    kill(pid, SIGKILL);
    Wait(pid);
    std::vector<std::uint32_t> pixels;
    int w = 0, h = 0;
    EXPECT_TRUE(platform::ReadImageFile("many.png", &pixels, &w, &h, &error) && w == 1024) << error;
    fs::current_path(before);
}

// An input script past 16 MiB, or one without end, is refused unread.
TEST(Stops, AnEndlessOrHugeInputScriptIsRefusedInOneLine) {
    WriteFile("huge.txt", "");
    fs::resize_file("huge.txt", (std::uintmax_t{16} << 20) + 1);  // sparse
    for (const std::string script : {"/dev/zero", "huge.txt"}) {
        const auto r = RunProcess(VELMOR_BINARY, {"--headless", "--input", script});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "velmor: " + script +
                             ": the input script is larger than 16 MiB, the most a script may "
                             "hold\n");
    }
}

}  // namespace
