// What watches a run from outside the game: each observer attaches to the
// platform when made (or opened) and detaches when destroyed. Those that
// write a file finish it after the run, before the platform stops, and say
// whether it is whole.
#pragma once

#include <signal.h>

#include <cstdint>
#include <cstdio>
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

  private:
    std::FILE* file_ = nullptr;
    std::string path_;
    std::int64_t every_ = 1;
    int listener_ = 0;
    bool failed_ = false;
};

// --audio-out FILE: everything the mixer plays until the end, as a WAVE file.
class AudioCapture : public RunObserver {
  public:
    // Creates `path` and starts taking the mixer's output; an empty path
    // captures nothing. False with `error` set when it cannot create the file.
    bool Open(const std::string& path, std::string* error);
    bool Finish(std::string* error) override;

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

  private:
    const std::int64_t frames_;
    bool recording_ = false;
};

// --screenshot FRAME:FILE: the presented image of each such frame as PNG.
class Screenshots : public RunObserver {
  public:
    explicit Screenshots(std::vector<std::pair<std::int64_t, std::string>> shots);
    ~Screenshots() override;
    // False for the first file that could not be written, else for the first
    // frame that was never presented.
    bool Finish(std::string* error) override;

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

// SIGINT and SIGTERM close the window the normal way (at the next loop pass),
// so the dump, the audio file and screenshots already due are complete. A
// second signal ends the process at once. Made after the platform starts, so
// its handlers replace any the driver set; the old ones come back after.
class StopOnSignal : public RunObserver {
  public:
    StopOnSignal();
    ~StopOnSignal() override;

  private:
    struct sigaction oldInt_ {};
    struct sigaction oldTerm_ {};
    int listener_ = 0;
    bool closeSent_ = false;
};
