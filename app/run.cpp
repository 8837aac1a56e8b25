#include "app/run.h"

#include <signal.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/dump_writer.h"
#include "app/options.h"
#include "app/platform_setup.h"
#include "engine/engine.h"
#include "engine/game_world.h"
#include "levels/level_table.h"
#include "platform/core/clock.h"
#include "platform/core/image.h"
#include "platform/core/input_record.h"
#include "platform/core/input_script.h"
#include "platform/core/platform.h"
#include "platform/core/png.h"
#include "sound/mix_recorder.h"

namespace fs = std::filesystem;

namespace {

int Fail(const std::string& message) {
    std::fprintf(stderr, "velmor: %s\n", message.c_str());
    return 2;
}

// File options are made absolute before the working directory moves to the
// content folder, so they still name what the user meant.
void Absolutise(std::string* path) {
    if (path->empty()) return;
    std::error_code ec;
    const fs::path abs = fs::absolute(*path, ec);
    if (!ec) *path = abs.string();
}

// The content folder: --assets, else the working directory if it holds the
// gallery's background, else the folder the build wrote the content into.
bool EnterContentFolder(const std::string& assets, std::string* error) {
    std::error_code ec;
    if (!assets.empty()) {
        if (!fs::is_directory(assets, ec)) {
            *error = "--assets: '" + assets + "' is not a folder";
            return false;
        }
        fs::current_path(assets, ec);
        if (ec) {
            *error = "--assets: cannot enter '" + assets + "': " + ec.message();
            return false;
        }
        return true;
    }
    if (fs::exists("background.bmp", ec)) return true;
#ifdef VELMOR_CONTENT_FROM_BIN
    // An installed velmor: the content lies beside its binary (P/bin, P/share/velmor).
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const fs::path installed = self.parent_path() / VELMOR_CONTENT_FROM_BIN;
        if (fs::exists(installed / "background.bmp", ec)) {
            fs::current_path(installed, ec);
            if (!ec) return true;
        }
    }
#endif
#ifdef VELMOR_CONTENT_DIR
    if (fs::is_directory(VELMOR_CONTENT_DIR, ec)) fs::current_path(VELMOR_CONTENT_DIR, ec);
#endif
    return true;
}

// An --assets folder must hold at least one of the level's content files (an
// empty or wrong folder would run a blank game).
bool FolderHasLevelContent(const LevelInfo& level) {
    for (const char* name : level.contentFiles)
        if (!platform::ResolveImagePath(name).empty()) return true;
    return false;
}

// SIGINT and SIGTERM close the window the normal way (at the next loop pass),
// so the dump, the audio file and screenshots already due are complete. A
// second signal ends the process at once.
volatile std::sig_atomic_t stopSignal = 0;

extern "C" void OnStopSignal(int sig) {
    if (stopSignal) {
        std::signal(sig, SIG_DFL);
        std::raise(sig);
        return;
    }
    stopSignal = sig;
}

}  // namespace

int RunVelmor(int argc, const char* const* argv) {
    Options options;
    std::string error;
    switch (ParseOptions(argc, argv, &options, &error)) {
        case ParseResult::kError:
            return Fail(error);
        case ParseResult::kExit:
            if (options.help)
                std::fputs(UsageText().c_str(), stdout);
            else
                std::printf("velmor %s\n", VELMOR_VERSION);
            return 0;
        case ParseResult::kRun:
            break;
    }

    // The input script is read and checked whole before anything opens.
    std::vector<platform::ScriptEvent> script;
    if (!options.input.empty() && !platform::LoadInputScript(options.input, &script, &error))
        return Fail(error);

    Absolutise(&options.input);
    Absolutise(&options.record);
    Absolutise(&options.audioOut);
    Absolutise(&options.dump);
    for (auto& shot : options.screenshots) Absolutise(&shot.second);
    if (!EnterContentFolder(options.assets, &error)) return Fail(error);
    if (!options.assets.empty() && !FolderHasLevelContent(*options.level))
        return Fail("--assets: '" + options.assets + "' holds none of the " + options.level->name +
                    " level's files");

    // --screenshot: each file's folder must exist before the run starts.
    for (const auto& shot : options.screenshots) {
        std::error_code ec;
        const fs::path folder = fs::path(shot.second).parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ec))
            return Fail("--screenshot: no folder '" + folder.string() + "' for '" + shot.second +
                        "'");
    }

    DumpWriter dump;
    if (!options.dump.empty() && !dump.Open(options.dump, options.dumpEvery, &error))
        return Fail(error);

    // --audio-out: everything the mixer plays goes to the file until the end.
    MixRecorder audioOut;
    if (!options.audioOut.empty() && FAILED(audioOut.Start(options.audioOut.c_str())))
        return Fail("--audio-out: cannot create '" + options.audioOut + "'");

    if (!StartPlatform(options.headless, options.clockStart, &error)) return Fail(error);
    const int scriptPlayer = options.input.empty() ? 0 : platform::PlayInputScript(script);
    // --record starts after the script, so it sees the script's clock.
    if (!options.record.empty() && !platform::StartRecording(options.record, &error)) {
        platform::Shutdown();
        return Fail(error);
    }

    // Installed after the platform starts, so they replace any the driver set.
    stopSignal = 0;
    struct sigaction stopAction {};
    stopAction.sa_handler = OnStopSignal;
    sigemptyset(&stopAction.sa_mask);
    struct sigaction oldInt {
    }, oldTerm{};
    sigaction(SIGINT, &stopAction, &oldInt);
    sigaction(SIGTERM, &stopAction, &oldTerm);
    bool closeSent = false;
    const int signalListener = platform::AddPassListener([&closeSent](std::int64_t) {
        if (!stopSignal || closeSent || !engine->window) return;
        closeSent = true;
        SendMessageA(engine->window, WM_CLOSE, 0, 0);
    });

    // --frames N: after frame N the window is closed the normal way, so the
    // loop ends on the quit message that its destruction posts.
    int framesListener = 0;
    if (options.frames >= 0) {
        const std::int64_t last = options.frames;
        framesListener = platform::AddPresentListener(
            [last](std::int64_t frame, const std::uint32_t*, int, int) {
                if (frame == last && engine->window) SendMessageA(engine->window, WM_CLOSE, 0, 0);
            });
    }
    // --frames 0: closed as the first pass starts, before any frame.
    int zeroListener = 0;
    if (options.frames == 0)
        zeroListener = platform::AddPassListener([](std::int64_t frame) {
            if (frame == 1 && engine->window) SendMessageA(engine->window, WM_CLOSE, 0, 0);
        });

    // --screenshot FRAME:FILE: the presented image of that frame as PNG.
    std::string shotError;
    std::vector<bool> shotTaken(options.screenshots.size(), false);
    int shotListener = 0;
    if (!options.screenshots.empty())
        shotListener = platform::AddPresentListener(
            [&](std::int64_t frame, const std::uint32_t* pixels, int width, int height) {
                for (std::size_t i = 0; i < options.screenshots.size(); ++i) {
                    if (options.screenshots[i].first != frame) continue;
                    shotTaken[i] = true;
                    std::string why;
                    if (!platform::SavePng(options.screenshots[i].second, pixels, width, height,
                                           false, &why) &&
                        shotError.empty())
                        shotError = "--screenshot: " + why;
                }
            });

    dump.Attach();
    GameWorld::levelName = options.level->name;
    GameWorld::levelFactory = CreateLevel;
    const int rc = WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
    if (framesListener) platform::RemovePresentListener(framesListener);
    if (zeroListener) platform::RemovePassListener(zeroListener);
    if (shotListener) platform::RemovePresentListener(shotListener);
    if (scriptPlayer) platform::StopInputScript(scriptPlayer);
    platform::RemovePassListener(signalListener);
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
    // A run that --frames ended has no close to record; its replay needs the same option.
    std::string note;
    if (options.frames >= 0 && platform::PresentedFrames() == options.frames)
        note = "closed by --frames " + std::to_string(options.frames) +
               ": replay with the same --frames";
    std::string recordError;
    const bool recorded = platform::StopRecording(note, &recordError);
    const HRESULT audioDone = audioOut.Finish();
    platform::Shutdown();
    if (!dump.Close(&error)) return Fail(error);
    if (!recorded) return Fail(recordError);
    if (FAILED(audioDone)) return Fail("--audio-out: writing '" + options.audioOut + "' failed");
    if (!shotError.empty()) return Fail(shotError);
    for (std::size_t i = 0; i < shotTaken.size(); ++i)
        if (!shotTaken[i])
            return Fail("--screenshot: frame " + std::to_string(options.screenshots[i].first) +
                        " was never presented, so '" + options.screenshots[i].second +
                        "' was not written");
    return rc;
}
