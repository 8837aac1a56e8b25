#include "app/run.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <system_error>
#include <vector>

#include "app/content_folder.h"
#include "app/options.h"
#include "app/platform_setup.h"
#include "app/run_observers.h"
#include "engine/engine.h"
#include "engine/game_world.h"
#include "levels/front_end.h"
#include "levels/menu_level.h"
#include "platform/core/debug.h"
#include "platform/core/input_script.h"
#include "platform/core/platform.h"

namespace fs = std::filesystem;

namespace {

int Fail(const GameInfo& game, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", game.name, message.c_str());
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

// The content folder: --assets; else, of the working directory and the
// game's own folders (a relative one from the program's folder), the first
// that holds any of the run's own files. None at all is an error: the game
// would run blank.
bool EnterContentFolder(const GameInfo& game, const Options& options, std::string* error) {
    std::error_code ec;
    const std::string& assets = options.assets;
    const std::vector<const char*> files = RunContentFiles(game, options.menu, *options.level);
    const std::string whose =
        options.menu ? std::string("menu") : options.level->name + std::string(" level");
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
        // An empty or wrong folder would run a blank game.
        if (FindContentFolder({"."}, files).empty()) {
            *error = "--assets: '" + assets + "' holds none of the " + whose + "'s files";
            return false;
        }
        return true;
    }
    std::vector<std::string> folders = {"."};
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    for (const char* folder : game.contentFolders) {
        if (fs::path(folder).is_absolute())
            folders.push_back(folder);
        else if (!self.empty())
            folders.push_back((self.parent_path() / folder).lexically_normal().string());
    }
    const std::string found = FindContentFolder(folders, files);
    if (found.empty()) {
        std::string places = "the working folder";
        for (std::size_t i = 1; i < folders.size(); ++i)
            places += (i + 1 == folders.size() ? " or '" : ", '") + folders[i] + "'";
        *error = "found none of the " + whose + "'s files in " + places +
                 "; name the content folder with --assets";
        return false;
    }
    if (found == ".") return true;
    fs::current_path(found, ec);
    if (ec) {
        *error = "cannot enter the content folder '" + found + "': " + ec.message();
        return false;
    }
    return true;
}

// Makes the file options absolute, enters the content folder and checks the
// folders the run reads and writes, before anything opens.
bool PrepareFolders(const GameInfo& game, Options* options, std::string* error) {
    for (std::string* path :
         {&options->input, &options->record, &options->audioOut, &options->dump})
        Absolutise(path);
    for (auto& shot : options->screenshots) Absolutise(&shot.second);
    if (!EnterContentFolder(game, *options, error)) return false;
    // --screenshot: each file's folder must exist before the run starts.
    for (const auto& shot : options->screenshots) {
        std::error_code ec;
        const fs::path folder = fs::path(shot.second).parent_path();
        if (!folder.empty() && !fs::is_directory(folder, ec)) {
            *error = "--screenshot: no folder '" + folder.string() + "' for '" + shot.second + "'";
            return false;
        }
    }
    return true;
}

}  // namespace

int RunGame(int argc, const char* const* argv, const GameInfo& game) {
    // A closed pipe or a file past its size limit is a failed write, which
    // the writer reports, not a signal that kills the run mid-file.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    Options options;
    std::string error;
    platform::SetProgramName(game.name);
    if (game.levels.empty()) return Fail(game, "the game has no levels");
    if (const ParseResult parsed = ParseOptions(argc, argv, game, &options, &error);
        parsed != ParseResult::kRun) {
        if (parsed == ParseResult::kError) return Fail(game, error);
        const std::string text =
            options.help ? UsageText(game) : std::string(game.name) + " " + game.version + "\n";
        std::fputs(text.c_str(), stdout);
        if (std::fflush(stdout) != 0)
            return Fail(game,
                        std::string("cannot write to standard output: ") + std::strerror(errno));
        return 0;
    }
    // The input script is read and checked whole before anything opens.
    std::vector<platform::ScriptEvent> script;
    if (!options.input.empty() && !platform::LoadInputScript(options.input, &script, &error))
        return Fail(game, error);
    if (!PrepareFolders(game, &options, &error)) return Fail(game, error);

    DumpWriter dump;
    AudioCapture audio;
    if (!dump.Open(options.dump, options.dumpEvery, &error) ||
        !audio.Open(options.audioOut, &error) ||
        !StartPlatform(options.headless, options.clockStart, &error, options.drawEveryFrame))
        return Fail(game, error);
    Screenshots shots(options.screenshots);
    Recorder recorder(options.frames);
    int rc = 0;
    {  // the script, the signal handlers and the frame limit act while the loop runs
        const ScriptPlayer player(std::move(script));
        if (!recorder.Open(options.record, &error)) {
            platform::Shutdown();
            return Fail(game, error);
        }
        const StopOnSignal stop({&dump, &recorder, &audio, &shots});
        const FrameLimit limit(options.frames);
        FrontEnd front(options.menu);
        if (!options.menu) front.Play(options.level);
        engine->host = &front;
        engine->caption = game.caption ? game.caption : game.name;
        GameWorld::levelName = options.level->name;
        if (options.menu)
            GameWorld::levelFactory = [&game](const std::string&) -> BaseLevel* {
                return new MenuLevel(game);
            };
        else
            GameWorld::levelFactory = [&game](const std::string& name) -> BaseLevel* {
                const LevelInfo* level = FindLevel(game.levels, name);
                return level ? level->make() : nullptr;
            };
        rc = WinMain(GetModuleHandleA(nullptr), nullptr, "", SW_SHOWDEFAULT);
    }
    // Every output is finished before the platform stops; the first that is
    // not whole is reported, in this order.
    std::string failure;
    for (RunObserver* output :
         std::initializer_list<RunObserver*>{&dump, &recorder, &audio, &shots})
        if (std::string why; !output->Finish(&why) && failure.empty()) failure = why;
    platform::Shutdown();
    return failure.empty() ? rc : Fail(game, failure);
}
