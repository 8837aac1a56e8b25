// velmor-play FILE.wav [--loop] [--audio-out OUT.wav] [--seconds S]
//
// Plays a WAVE file through CStreamingSound: a ring of 4 blocks of a quarter
// second, refilled each time the buffer signals the end of a block. With
// --audio-out it runs in virtual time without a device and writes what the
// mixer played to OUT.wav (a non-looping file is written at its own length).
//
// SIGINT, SIGTERM and SIGHUP stop it the normal way: OUT.wav is finished
// with what was played so far; a second signal ends it at once. SIGPIPE is
// ignored, so a closed standard output is a write error reported at the end,
// never a death halfway through OUT.wav. A converted copy of the input lives
// in a temporary file that has no name, so no stop leaves it behind.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/platform_setup.h"
#include "platform/core/dsound.h"
#include "sound/dsutil.h"
#include "sound/mix_recorder.h"
#include "sound/sound_device.h"
#include "sound/streaming_sound.h"
#include "tools/play/convert.h"

namespace {

constexpr DWORD kBlocks = 4;

// The stop signal caught, 0 until one comes.
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int sig) {
    if (stopSignal) {  // a second one: the default action, now
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    stopSignal = sig;
}

bool StopRequested() { return stopSignal != 0; }

// A signal ignored when the tool started (nohup, a background job) stays
// ignored.
void CatchStopSignals() {
    struct sigaction stop {};
    stop.sa_handler = OnStopSignal;
    sigemptyset(&stop.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction was {};
        if (sigaction(sig, nullptr, &was) == 0 && was.sa_handler != SIG_IGN)
            sigaction(sig, &stop, nullptr);
    }
    std::signal(SIGPIPE, SIG_IGN);
}

const char* SignalName(int sig) {
    return sig == SIGINT ? "SIGINT" : sig == SIGTERM ? "SIGTERM" : "SIGHUP";
}

// The temporary file of a converted copy. Its name is removed as soon as it
// is made and the file is used through /proc/self/fd, so it goes with the
// process however that ends; without /proc it keeps its name until the tool
// ends normally.
struct TempFile {
    int fd = -1;
    std::string path;   // what to open
    std::string named;  // the name to remove at the end, if it kept one
    bool Make() {
        const char* dir = std::getenv("TMPDIR");
        std::string pattern = std::string(dir && *dir ? dir : "/tmp") + "/velmor-play-XXXXXX";
        fd = mkstemp(pattern.data());
        if (fd < 0) return false;
        const std::string unnamed = "/proc/self/fd/" + std::to_string(fd);
        if (access(unnamed.c_str(), R_OK | W_OK) == 0 && unlink(pattern.c_str()) == 0) {
            path = unnamed;
        } else {
            path = named = pattern;
        }
        return true;
    }
    ~TempFile() {
        if (!named.empty()) std::remove(named.c_str());
        if (fd >= 0) close(fd);
    }
};

int Fail(const std::string& message) {
    std::fprintf(stderr, "velmor-play: %s\n", message.c_str());
    return 2;
}

// Why `st` cannot be played as a WAVE file, or "" for a regular file.
std::string NotAFile(const struct stat& st) {
    if (S_ISREG(st.st_mode)) return "";
    if (S_ISDIR(st.st_mode)) return "is a folder, not a WAVE file";
    if (S_ISFIFO(st.st_mode))
        return "is a pipe; velmor-play plays files, not streams (save it to a file first)";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "is a device, not a WAVE file";
    return "is not a regular file";
}

LRESULT PlayerProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    return DefWindowProcA(window, message, w, l);
}

const char* kUsage =
    "usage: velmor-play FILE.wav [--loop] [--audio-out OUT.wav] [--seconds S]\n"
    "  --loop              repeat the file (stop with Ctrl-C, or after --seconds)\n"
    "  --audio-out OUT     no device: mix in virtual time and write OUT.wav\n"
    "  --seconds S         stop after S seconds (needed with --loop and --audio-out)\n"
    "  --help, --version   print this or the version, and exit\n";

}  // namespace

int main(int argc, char** argv) {
    std::string input, output;
    bool loop = false;
    double seconds = -1;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--version") {
            std::puts("velmor-play " VELMOR_VERSION);
            return 0;
        } else if (a == "--loop") {
            loop = true;
        } else if (a == "--audio-out" || a == "--seconds") {
            if (i + 1 >= argc) return Fail(a + " needs a value (see --help)");
            const std::string v = argv[++i];
            if (a == "--audio-out") {
                if (v.empty()) return Fail("--audio-out needs a file name");
                output = v;
            } else {
                char* end = nullptr;
                errno = 0;
                seconds = std::strtod(v.c_str(), &end);
                if (errno || *end || !(seconds > 0) || seconds > 1e6)
                    return Fail("--seconds needs a positive number of seconds, not '" + v + "'");
            }
        } else if (!a.empty() && a[0] == '-') {
            return Fail("unknown option '" + a + "' (see --help)");
        } else if (input.empty()) {
            input = a;
        } else {
            return Fail("only one FILE.wav can be played (see --help)");
        }
    }
    if (input.empty()) return Fail("no FILE.wav given (see --help)");
    if (loop && !output.empty() && seconds < 0)
        return Fail("--loop with --audio-out needs --seconds S (the file would never end)");
    CatchStopSignals();

    // Check the file before anything else opens it (opening a pipe would
    // wait for a writer); the sound opens it again.
    struct stat inStat {};
    if (stat(input.c_str(), &inStat) != 0)
        return Fail("cannot open '" + input + "': " + std::strerror(errno));
    if (const std::string kind = NotAFile(inStat); !kind.empty())
        return Fail("'" + input + "' " + kind);
    // Writing the output would destroy the input it reads (a link included).
    struct stat outStat {};
    if (!output.empty() && stat(output.c_str(), &outStat) == 0 && outStat.st_dev == inStat.st_dev &&
        outStat.st_ino == inStat.st_ino)
        return Fail("--audio-out '" + output + "' is the input file; write to another file");
    WAVEFORMATEX format{};
    DWORD dataBytes = 0;
    std::string why;
    PcmPlan plan = PcmPlan::kRefuse;
    {
        std::FILE* probe = std::fopen(input.c_str(), "rb");
        if (!probe) return Fail("cannot open '" + input + "': " + std::strerror(errno));
        std::fclose(probe);
        CRiffWave wave;
        if (FAILED(wave.Open(input.c_str(), nullptr, WAVEFILE_READ)) || !wave.m_pwfx)
            return Fail(
                "'" + input + "': " +
                (wave.m_failure.empty() ? "not a readable RIFF WAVE file" : wave.m_failure));
        format = *wave.m_pwfx;
        dataBytes = wave.GetSize();
        plan = PlanFor(*wave.m_pwfx, &why);
    }
    if (plan == PcmPlan::kRefuse) return Fail("'" + input + "' " + why);
    // Formats the engine's buffers do not hold are played from a 16-bit copy.
    TempFile converted;
    std::string playPath = input;
    if (plan == PcmPlan::kConvert) {
        if (!converted.Make())
            return Fail(std::string("cannot make a temporary file for the converted copy: ") +
                        std::strerror(errno));
        if (!ConvertTo16Bit(input, converted.path, &why, StopRequested))
            return StopRequested() ? 0 : Fail("'" + input + "' " + why);
        CRiffWave wave;
        if (FAILED(wave.Open(converted.path.c_str(), nullptr, WAVEFILE_READ)) || !wave.m_pwfx)
            return Fail("'" + input + "' could not be converted");
        format = *wave.m_pwfx;
        dataBytes = wave.GetSize();
        playPath = converted.path;
    }
    // Lengths come from the rate and the frame size, never the header's byte
    // rate (which PlanFor has checked only for files played directly).
    const double bytesPerSecond = static_cast<double>(format.nSamplesPerSec) * format.nBlockAlign;

    // With --audio-out the mixer follows virtual time; otherwise the SDL
    // sound device plays (no window is opened).
    const bool virtualTime = !output.empty();
    std::string driverError;
    InstallDrivers(virtualTime, &driverError);
    if (virtualTime) platform::UseClockDrivenAudio();

    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PlayerProc;
    wc.lpszClassName = "velmor-play";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(0, "velmor-play", "velmor-play", 0, 0, 0, 1, 1, nullptr, nullptr,
                                  nullptr, nullptr);

    CSoundDevice device;
    if (FAILED(device.Initialize(window, DSSCL_PRIORITY))) return Fail("no sound device");
    if (!virtualTime && platform::AudioIsClockDriven())
        return Fail("no audio device could be opened (write a file with --audio-out OUT.wav)");

    // A quarter second per block, whole sample frames.
    DWORD blockBytes = static_cast<DWORD>(bytesPerSecond / 4);
    blockBytes -= blockBytes % format.nBlockAlign;
    if (blockBytes == 0) blockBytes = format.nBlockAlign;

    HANDLE event = CreateEventA(nullptr, 0, 0, nullptr);
    CStreamingSound* sound = nullptr;
    const HRESULT hr = device.CreateStreamingSound(&sound, playPath.c_str(), 0, GUID_NULL, kBlocks,
                                                   blockBytes, event);
    if (FAILED(hr)) {
        CloseHandle(event);
        return Fail("'" + input + "' cannot be played (" + GetErrorName(hr) + ")");
    }
    // The output file is made only once the sound could be (and no stop
    // came first): a refused file leaves nothing behind.
    MixRecorder recorder;
    std::uint64_t frames = 0;  // the length of the output
    if (virtualTime && !StopRequested()) {
        if (seconds > 0) {
            frames = static_cast<std::uint64_t>(seconds * platform::kMixRate);
        } else {
            // The wave's own length at the mixer's rate.
            const std::uint64_t srcFrames = dataBytes / format.nBlockAlign;
            frames = (srcFrames * platform::kMixRate + format.nSamplesPerSec - 1) /
                     format.nSamplesPerSec;
        }
        if (frames == 0) frames = 1;
        if (FAILED(recorder.Start(output.c_str(), frames))) {
            delete sound;
            CloseHandle(event);
            return Fail("cannot create '" + output + "'");
        }
    }

    const bool tty = isatty(fileno(stdout));
    int stdoutError = 0;  // the first failed write to standard output
    const double total = static_cast<double>(dataBytes) / bytesPerSecond;
    auto progress = [&](bool last) {
        const double played = static_cast<double>(sound->PlayProgress()) / bytesPerSecond;
        if (tty || last)
            std::printf("%s%s  %.1f s / %.1f s%s%s", tty ? "\r" : "", input.c_str(),
                        loop ? played : (played < total ? played : total), total,
                        loop ? " (looping)" : "", last ? "\n" : "");
        if (std::fflush(stdout) != 0 && !stdoutError) stdoutError = errno;
    };

    sound->Play(0, DSBPLAY_LOOPING, 0, -1, 0);
    int result = 0;
    if (virtualTime) {
        // Virtual time: one 1/60 s step of the mixer at a time, then the
        // notifications it raised. Stops when the sound stops or the recording
        // is complete; a bound on the steps guards against a stuck stream.
        const std::uint64_t maxSteps =
            static_cast<std::uint64_t>((seconds > 0 ? seconds : total) * 60.0) + 600;
        std::uint64_t step = 0;
        for (; step < maxSteps && sound->IsPlaying() && !StopRequested(); ++step) {
            platform::AdvanceAudio(platform::kMixFramesPerVideoFrame);
            while (WaitForSingleObject(event, 0) == WAIT_OBJECT_0) sound->HandleNotification(loop);
            if (seconds > 0 && step * platform::kMixFramesPerVideoFrame >=
                                   static_cast<std::uint64_t>(seconds * platform::kMixRate))
                break;
            if (step % 15 == 0) progress(false);
        }
        // With --seconds the file runs to its full length even when the
        // sound ended sooner: the rest is mixed (silence) before finishing.
        if (seconds > 0 && recorder.FramesWritten() < frames) {
            const std::uint64_t missing = frames - recorder.FramesWritten();
            for (std::uint64_t k = 0;
                 k * platform::kMixFramesPerVideoFrame < missing && !StopRequested(); ++k)
                platform::AdvanceAudio(platform::kMixFramesPerVideoFrame);
        }
        sound->Stop();
        const double kept = static_cast<double>(recorder.FramesWritten()) / platform::kMixRate;
        if (FAILED(recorder.Finish())) result = Fail("writing '" + output + "' failed");
        progress(true);
        if (StopRequested() && result == 0)
            std::fprintf(stderr, "velmor-play: stopped by %s; '%s' holds the first %.1f s\n",
                         SignalName(stopSignal), output.c_str(), kept);
    } else {
        while (sound->IsPlaying() && !StopRequested()) {
            // The timeout keeps the progress line moving between blocks.
            if (WaitForSingleObject(event, 100) == WAIT_OBJECT_0) sound->HandleNotification(loop);
            progress(false);
            if (seconds > 0 &&
                static_cast<double>(sound->PlayProgress()) / bytesPerSecond >= seconds)
                break;
        }
        sound->Stop();
        progress(true);
    }
    delete sound;
    CloseHandle(event);
    if (stdoutError && result == 0)
        result =
            Fail(std::string("cannot write to standard output: ") + std::strerror(stdoutError));
    return result;
}
