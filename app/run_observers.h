// What watches a run from outside the game: each observer attaches to the
// platform when made (or opened) and detaches when destroyed. Those that
// write a file finish it after the run, before the platform stops, and say
// whether it is whole. A file that cannot go on (a write failed, the file is
// full) ends the run the normal way, and the exit names it.
#pragma once

#include <signal.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/input_script.h"
#include "sound/mix_recorder.h"

class RunObserver {
  public:
    RunObserver() = default;
    RunObserver(const RunObserver&) = delete;
    RunObserver& operator=(const RunObserver&) = delete;
    virtual ~RunObserver() = default;
    // Ends what the observer writes; false with `error` set when it is not whole.
    virtual bool Finish(std::string* /*error*/) { return true; }
    // True once what it writes cannot go on; Finish then says why.
    virtual bool Failed() const { return false; }
};

// --dump FILE: after every Nth presented frame, one JSON line of the registry.
class DumpWriter : public RunObserver {
  public:
    ~DumpWriter() override;
    // Opens (truncates) `path` and starts writing; an empty path dumps
    // nothing. False with `error` set when the file cannot be opened.
    bool Open(const std::string& path, std::int64_t every, std::string* error);
    // Stops and closes; false when a write failed (disk full, say).
    bool Finish(std::string* error) override;
    bool Failed() const override { return failed_ != 0; }

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::int64_t every_ = 1;
    int listener_ = 0;
    int failed_ = 0;  // the errno of the write that failed
};

// --audio-out FILE: everything the mixer plays until the end, as a WAVE file
// whose sizes on disk are kept true about every second of sound. A file that
// reaches the most a WAVE file can state (a little under 4 GiB, 6 h 45 min)
// ends the run there, whole.
class AudioCapture : public RunObserver {
  public:
    // `maxDataBytes`: a lower cap on the sample bytes than the format's own.
    explicit AudioCapture(std::uint64_t maxDataBytes = UINT64_MAX) : recorder_(maxDataBytes) {}
    // Creates `path` and starts taking the mixer's output; an empty path
    // captures nothing. False with `error` set when it cannot create the file.
    bool Open(const std::string& path, std::string* error);
    bool Finish(std::string* error) override;
    bool Failed() const override { return recorder_.StopReason() != 0; }

  private:
    MixRecorder recorder_;
    std::string path_;
};

// --input FILE: plays the script's events at their frames while it lives.
class ScriptPlayer : public RunObserver {
  public:
    explicit ScriptPlayer(std::vector<platform::ScriptEvent> script);
    ~ScriptPlayer() override;

  private:
    int player_ = 0;
};

// --record FILE: the run's input and clocks as an --input script. Opened
// after the platform starts and any script plays, so it sees the script's clock.
class Recorder : public RunObserver {
  public:
    // `frames` is the --frames limit (-1: none): a run it ended says so.
    explicit Recorder(std::int64_t frames) : frames_(frames) {}
    ~Recorder() override;
    // Starts recording into `path`; an empty path records nothing. False
    // with `error` set when it cannot.
    bool Open(const std::string& path, std::string* error);
    bool Finish(std::string* error) override;
    bool Failed() const override;

  private:
    const std::int64_t frames_;
    bool recording_ = false;
};

// --screenshot FRAME:FILE: the presented image of each such frame as PNG,
// written beside FILE under another name and then renamed to it, so FILE is
// never seen half written.
class Screenshots : public RunObserver {
  public:
    explicit Screenshots(std::vector<std::pair<std::int64_t, std::string>> shots);
    ~Screenshots() override;
    // False for the first file that could not be written, else for the first
    // frame that was never presented.
    bool Finish(std::string* error) override;
    bool Failed() const override { return !error_.empty(); }

  private:
    std::vector<std::pair<std::int64_t, std::string>> shots_;
    std::vector<bool> taken_;
    std::string error_;
    int listener_ = 0;
};

// --frames N: after frame N the window is closed the normal way, so the loop
// ends on the quit message that its destruction posts; N = 0 closes it as
// the first pass starts, before any frame. -1: no limit.
class FrameLimit : public RunObserver {
  public:
    explicit FrameLimit(std::int64_t frames);
    ~FrameLimit() override;

  private:
    int presentListener_ = 0;
    int passListener_ = 0;
};

// SIGINT, SIGTERM and SIGHUP close the window the normal way (at the next
// loop pass), so the dump, the audio file and screenshots already due are
// complete; so does one of `outputs` that has failed. A second signal ends
// the process at once. Made after the platform starts, so its handlers
// replace any the driver set; the old ones come back after.
class StopOnSignal : public RunObserver {
  public:
    explicit StopOnSignal(std::vector<const RunObserver*> outputs);
    ~StopOnSignal() override;

  private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction old_[std::size(kSignals)]{};
    std::vector<const RunObserver*> outputs_;
    int listener_ = 0;
    bool closeSent_ = false;
};
