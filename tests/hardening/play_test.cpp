// velmor-play end to end: what it writes, files the engine's buffers do not
// hold as they are, names that are not WAVE files, stops by signal, and its
// resampling against sox's high-quality conversion and the static sound.
// Files are named bare: each test process works in a private folder of its own.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <bit>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <memory>

#include "sound/sound.h"
#include "sound/sound_fixture.h"
#include "support/run_process.h"
#include "support/wave_image.h"

namespace {

// A mono WAVE file whose fmt record has `extra` bytes after it.
Bytes Wave(std::uint16_t tag, std::uint32_t rate, std::uint16_t bits, const Bytes& data,
           const Bytes& extra = {}) {
    Bytes fmt = Fmt(tag, 1, rate, bits);
    fmt.insert(fmt.end(), extra.begin(), extra.end());
    return Riff({Chunk("fmt ", fmt), Chunk("data", data)});
}

ProcessResult Play(const Bytes& wave, std::vector<std::string> options = {}) {
    WriteBytes("in.wav", wave);
    std::filesystem::remove("out.wav");
    options.insert(options.begin(), {"in.wav", "--audio-out", "out.wav"});
    return RunProcess(VELMOR_PLAY_BINARY, options, {"VELMOR_TRACE"});
}

// The samples written, after checking they are 44100 Hz stereo.
std::vector<std::int16_t> Out() {
    WAVEFORMATEX f{};
    auto s = ReadWave16("out.wav", &f);
    EXPECT_EQ(f.nSamplesPerSec * f.nChannels, 88200u);
    return s;
}

TEST(Play, StereoAt44100ComesOutIdenticalAndBadInputIsRefused) {
    Bytes noise(44100 * 4);  // every sample counts
    std::uint32_t r = 12345;
    for (auto& b : noise) b = static_cast<std::uint8_t>((r = r * 1103515245u + 12345u) >> 16);
    ASSERT_EQ(Play(PcmWave(2, 44100, 16, noise)).status, 0);
    const auto out = Out();
    EXPECT_TRUE(out.size() * 2 == noise.size() &&
                !std::memcmp(out.data(), noise.data(), noise.size()));
    const Bytes mono = PcmWave(1, 22050, 16, Bytes(44100, 0x10));
    ASSERT_EQ(Play(mono, {"--loop", "--seconds", "7.5"}).status, 0);
    EXPECT_EQ(Out().size(), static_cast<std::size_t>(7.5 * 44100) * 2);
    // Longer than the sound by more than 10 s: silence to the length asked.
    ASSERT_EQ(Play(mono, {"--seconds", "12"}).status, 0);
    EXPECT_EQ(Out().size(), 12u * 44100 * 2);
    // Refused with status 2 and a message naming the program.
    for (const ProcessResult& e : {Play(mono, {"--loop"}), Play(Ramp(100)), Play(mono, {"--bogus"}),
                                   Play(Wave(1, 22050, 12, Bytes(200, 0)))}) {
        EXPECT_EQ(e.status, 2) << e.err;
        EXPECT_NE(e.err.find("velmor-play: "), std::string::npos) << e.err;
    }
    // A sample rate of 0 is refused in one line, leaving no output file.
    EXPECT_EQ(Play(Wave(1, 0, 16, Bytes(200, 0))).err,
              "velmor-play: 'in.wav' has a sample rate of 0 Hz; 100 to 200000 Hz can be played\n");
    EXPECT_FALSE(std::filesystem::exists("out.wav"));
    // A byte rate that lies (1): the length comes from the rate and frame size (0.0125 s).
    Bytes lying = Wave(1, 8000, 16, Bytes(200, 0));
    lying[28] = 1, lying[29] = lying[30] = lying[31] = 0;
    const auto l = Play(lying);
    EXPECT_NE(l.out.find("0.0 s / 0.0 s"), std::string::npos) << l.out << l.err;
}

TEST(Play, WiderPcmFloatAndExtensibleAreConvertedTo16Bit) {
    Bytes s24, s32, f32;  // half-scale sine, 0.1 s at 22050 Hz, in each coding
    for (int i = 0; i < 2205; ++i) {
        const double v = 0.5 * std::sin(i * 0.05);
        Put(&s32, static_cast<std::int32_t>(std::lrint(v * 2147483647.0)));
        Put(&f32, std::bit_cast<std::uint32_t>(static_cast<float>(v)));
        s24.insert(s24.end(), s32.end() - 3, s32.end());
    }
    // Extensible: cbSize, valid bits, channel mask, then the PCM sub-format GUID.
    Bytes ext;
    Put(&ext, std::uint16_t(22), std::uint16_t(32), 4u, 1u, 0x00100000u, 0xAA000080u, 0x719B3800u);
    // Float with and without the (empty) extra size field.
    for (const Bytes& wave :
         {Wave(1, 22050, 24, s24), Wave(1, 22050, 32, s32), Wave(3, 22050, 32, f32, Bytes(2, 0)),
          Wave(3, 22050, 32, f32), Wave(0xFFFE, 22050, 32, s32, ext)}) {
        const auto r = Play(wave);
        EXPECT_NE(r.out.find("0.1 s / 0.1 s"), std::string::npos) << r.out << r.err;
        int peak = 0;
        for (int v : Out()) peak = std::max(peak, std::abs(v));
        EXPECT_NEAR(peak, 16384, 200) << wave[20];
    }
}

// Names that are not WAVE files and an output that is the input: one line
// each (opening nothing that could block), the input untouched.
TEST(Play, NamesThatAreNoWaveFileAreSaidAndTheInputIsNeverTheOutput) {
    const Bytes wave = PcmWave(1, 22050, 16, Bytes(4410, 0x10));
    WriteBytes("in.wav", wave);
    std::filesystem::remove("out.wav");
    std::filesystem::create_hard_link("in.wav", "link.wav");
    std::filesystem::create_directory("folder.wav");
    ASSERT_EQ(mkfifo("fifo.wav", 0600), 0);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"in.wav", "--audio-out", "in.wav"},
         "--audio-out 'in.wav' is the input file; write to another file"},
        {{"in.wav", "--audio-out", "link.wav"},
         "--audio-out 'link.wav' is the input file; write to another file"},
        {{"fifo.wav"},
         "'fifo.wav' is a pipe; velmor-play plays files, not streams (save it to a file first)"},
        {{"folder.wav"}, "'folder.wav' is a folder, not a WAVE file"},
        {{"/dev/zero", "--audio-out", "out.wav"}, "'/dev/zero' is a device, not a WAVE file"},
    };
    for (const auto& [args, line] : cases) {
        const auto r = RunProcess(VELMOR_PLAY_BINARY, args, {"VELMOR_TRACE"});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "velmor-play: " + line + "\n");
    }
    EXPECT_EQ(ReadBytes("in.wav"), wave);
    EXPECT_FALSE(std::filesystem::exists("out.wav"));
    const auto v = RunProcess(VELMOR_PLAY_BINARY, {"--version"});
    EXPECT_TRUE(v.status == 0 && v.out.rfind("velmor-play ", 0) == 0) << v.out;
}

// Starts velmor-play with standard output to `out`, standard error to
// err.txt and its temporary files in tmp/.
pid_t Start(const std::vector<std::string>& args, int out) {
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out, 1);
        dup2(open("err.txt", O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
        setenv("TMPDIR", "tmp", 1);
        std::vector<char*> argv{const_cast<char*>(VELMOR_PLAY_BINARY)};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(VELMOR_PLAY_BINARY, argv.data());
        _exit(127);
    }
    return pid;
}

// Whether out.wav's RIFF and data sizes are those of the file.
bool SizesAreTrue() {
    const Bytes w = ReadBytes("out.wav");
    auto le32 = [&](std::size_t at) {
        return w[at] | w[at + 1] << 8 | w[at + 2] << 16 | std::uint32_t(w[at + 3]) << 24;
    };
    const std::string text(w.begin(), w.end());
    const auto data = text.find("data");
    return data != std::string::npos && le32(4) == w.size() - 8 &&
           le32(data + 4) == w.size() - data - 8;
}

// SIGINT, SIGTERM and SIGHUP finish the output with what was played (exit 0);
// no stop, SIGKILL included, leaves the converted copy of a 24-bit input; a
// closed standard output is reported only once the output is whole.
TEST(Play, StopsLeaveAWholeOutputAndNoTemporaryCopy) {
    WriteBytes("in.wav", Wave(1, 22050, 24, Bytes(3 * 22050, 0x10)));
    std::filesystem::create_directory("tmp");
    const int null = open("/dev/null", O_WRONLY);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGKILL}) {
        std::filesystem::remove("out.wav");
        const pid_t pid =
            Start({"in.wav", "--loop", "--seconds", "100000", "--audio-out", "out.wav"}, null);
        for (int i = 0; i < 1000 && ReadBytes("out.wav").size() < 1000000; ++i) usleep(10000);
        kill(pid, sig);
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(std::filesystem::is_empty("tmp")) << sig;
        if (sig == SIGKILL) continue;
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << sig << " " << status;
        EXPECT_TRUE(SizesAreTrue()) << sig;
        EXPECT_NE(ReadFile("err.txt").find("velmor-play: stopped by SIG"), std::string::npos);
    }
    close(null);
    int pipe[2];
    ASSERT_EQ(pipe2(pipe, O_CLOEXEC), 0);  // the reader's end closes in the child too
    const pid_t pid = Start({"in.wav", "--seconds", "2", "--audio-out", "out.wav"}, pipe[1]);
    close(pipe[0]);
    close(pipe[1]);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 2) << status;
    EXPECT_EQ(ReadFile("err.txt"), "velmor-play: cannot write to standard output: Broken pipe\n");
    EXPECT_TRUE(SizesAreTrue());
    EXPECT_EQ(ReadWave16("out.wav").size(), 2u * 44100 * 2);
}

// Two tones (440 Hz and a high one) at 11025, 22050 and 8000 Hz.
TEST(Resampling, MatchesSoxHighQualityConversion) {
    if (!std::filesystem::exists("/usr/bin/sox")) GTEST_SKIP() << "sox is not installed";
    const std::string in = "in.wav", sox = "sox.wav", ours = "ours.wav";  // in the private folder
    const std::pair<std::uint32_t, double> cases[] = {{11025, 2500}, {22050, 5000}, {8000, 3000}};
    for (const auto& [rate, high] : cases) {
        Bytes tone;
        for (std::uint32_t i = 0; i < rate; ++i)
            Put(&tone, static_cast<std::int16_t>(
                           std::lrint(8000 * (std::sin(2 * M_PI * 440 * i / rate) +
                                              std::sin(2 * M_PI * high * i / rate)))));
        WriteBytes(in, PcmWave(1, rate, 16, tone));
        ASSERT_EQ(RunProcess("/usr/bin/sox", {in, "-r", "44100", sox, "rate", "-h"}).status, 0);
        ASSERT_EQ(RunProcess(VELMOR_PLAY_BINARY, {in, "--audio-out", ours}).status, 0);
        const auto a = ReadWave16(sox), b = ReadWave16(ours);  // mono, stereo
        ASSERT_GT(std::min(a.size(), b.size() / 2), 40000u);
        double ab = 0, aa = 0, bb = 0;
        for (std::size_t i = 2000; i < 40000; ++i) {  // away from both ends
            ab += double(a[i]) * b[2 * i];
            aa += double(a[i]) * a[i];
            bb += double(b[2 * i]) * b[2 * i];
        }
        EXPECT_GE(ab / std::sqrt(aa * bb), 0.995) << rate << " Hz";        // same shape
        EXPECT_NEAR(10 * std::log10(bb / aa), 0.0, 0.5) << rate << " Hz";  // same level
    }
}

// A sine streamed by velmor-play (a ring of quarter-second blocks, each
// refilled once played) is the same file played whole as a static sound,
// sample for sample, at rates the mixer resamples: the resampler's taps
// behind the cursor are what it played, not the refilled block.
using StreamedSound = SoundTest;
TEST_F(StreamedSound, MatchesTheStaticSoundAcrossBlocks) {
    const struct {
        std::uint16_t channels;
        std::uint32_t rate;
        double hz, seconds;
    } cases[] = {{2, 22050, 440, 1}, {1, 100, 7, 2}};
    for (const auto& c : cases) {
        Bytes sine;
        const auto frames = static_cast<std::uint32_t>(c.rate * c.seconds);
        for (std::uint32_t i = 0; i < frames; ++i)
            for (int ch = 0; ch < c.channels; ++ch)
                Put(&sine, static_cast<std::int16_t>(std::lrint(
                               (ch ? 12000 : 20000) * std::sin(2 * M_PI * c.hz * i / c.rate))));
        ASSERT_EQ(Play(PcmWave(c.channels, c.rate, 16, sine)).status, 0);
        const auto streamed = Out();
        CSound* raw = nullptr;
        ASSERT_EQ(device.CreateSound(&raw, "in.wav", 0, GUID_NULL, 1), S_OK);
        std::unique_ptr<CSound> sound(raw);
        sound->Play(0, 0, 0, -1, 0);
        const auto whole = Mix(static_cast<int>(streamed.size() / 2));
        ASSERT_EQ(streamed.size(), whole.size()) << c.rate;
        int worst = 0;
        std::size_t at = 0;
        for (std::size_t i = 0; i < whole.size(); ++i)
            if (std::abs(streamed[i] - whole[i]) > worst)
                worst = std::abs(streamed[i] - whole[i]), at = i;
        EXPECT_LE(worst, 1) << c.rate << " Hz: sample " << at / 2;
    }
}

}  // namespace
