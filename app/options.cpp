#include "app/options.h"

#include <algorithm>
#include <set>
#include <span>

#include "base/parse_number.h"
#include "levels/front_end.h"
#include "platform/core/input_script.h"

namespace {

// A whole number within [lo, hi] written with digits alone: an option takes
// no sign, unlike a script's numbers, and at most 19 digits.
bool ParseInt(const std::string& text, std::int64_t lo, std::int64_t hi, std::int64_t* out) {
    return text.size() <= 19 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
           ParseNumber(text, lo, hi, out);
}

// The level names in table order, `between` separating them and `last`
// before the final one: "a|b|c", "a, b or c".
std::string LevelNames(std::span<const LevelInfo> levels, const char* between, const char* last) {
    std::string names = levels.front().name;
    for (std::size_t i = 1; i < levels.size(); ++i)
        names += (i + 1 < levels.size() ? between : last) + std::string(levels[i].name);
    return names;
}

// `text` broken between words into lines of at most `width` characters
// (a longer word stands alone), each after `indent` blanks.
std::string Wrapped(const std::string& text, std::size_t indent, std::size_t width) {
    std::string out;
    for (const std::string& line : WrapWords(text, width - indent))
        out += std::string(indent, ' ') + line + "\n";
    return out;
}

}  // namespace

std::string UsageText(const GameInfo& game) {
    const std::string head = std::string("usage: ") + game.name + " ";
    const std::string indent(head.size(), ' ');
    std::string text =
        head + "[--menu | --level " + LevelNames(game.levels, "|", "|") + "] [--headless]\n";
    text += indent + "[--frames N] [--clock-start SECONDS] [--input FILE] [--record FILE]\n";
    text += indent + "[--screenshot FRAME:FILE.png]... [--audio-out FILE.wav]\n";
    text += indent + "[--dump FILE.jsonl] [--dump-every N] [--assets DIR]\n";
    text += indent + "[--draw-every-frame] [--help] [--version]\n";
    text +=
        "\n"
        "  --menu               start on the title menu and choose a level there\n"
        "  --level NAME         level to play (default: the first listed below)\n"
        "  --headless           no window or sound hardware; virtual clock\n"
        "  --frames N           close the window after frame N\n"
        "  --clock-start SECS   virtual clock start (headless; default 1700000000)\n"
        "  --input FILE         scripted input, one event a line\n"
        "  --record FILE        write this run's input and clock as an --input script\n"
        "  --screenshot F:FILE  write the presented image of frame F as PNG\n"
        "  --audio-out FILE     write what the mixer played as a WAVE file\n"
        "  --dump FILE          write the entities after each frame as JSON lines\n"
        "  --dump-every N       dump every Nth frame only (default 1)\n"
        "  --assets DIR         folder holding the content files\n"
        "  --draw-every-frame   headless, draw every frame, not only those looked at\n"
        "\n"
        "levels:\n";
    for (const LevelInfo& level : game.levels) {
        std::string name = level.name;
        name.resize(std::max<std::size_t>(name.size() + 1, 10), ' ');
        text += "  " + name + level.description + "\n";
        text += Wrapped(std::string("controls: ") + level.controls, 12, 79);
    }
    return text +
           "\nin every level:\n"
           "  P           pauses and resumes\n"
           "  F1          shows or hides the level's controls\n"
           "  Escape      quits, or goes back to the menu when the level was started there;\n"
           "              closing the window always quits\n";
}

ParseResult ParseOptions(int argc, const char* const* argv, const GameInfo& game, Options* out,
                         std::string* error) {
    Options o;
    o.level = &game.levels.front();
    bool levelGiven = false;
    auto fail = [&](const std::string& msg) {
        *error = msg;
        return ParseResult::kError;
    };
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasInlineValue = false;
        if (arg.rfind("--", 0) == 0) {
            const auto eq = arg.find('=');
            if (eq != std::string::npos) {
                value = arg.substr(eq + 1);
                arg = arg.substr(0, eq);
                hasInlineValue = true;
            }
        }
        auto needValue = [&](std::string* v) {
            if (hasInlineValue) {
                *v = value;
                return true;
            }
            if (i + 1 >= argc) return false;
            *v = argv[++i];
            return true;
        };
        static const std::set<std::string> kFlags = {"--headless", "--help", "-h",
                                                     "--version",  "--menu", "--draw-every-frame"};
        if (kFlags.count(arg)) {
            if (hasInlineValue) return fail(arg + " takes no value");
            if (arg == "--headless")
                o.headless = true;
            else if (arg == "--menu")
                o.menu = true;
            else if (arg == "--draw-every-frame")
                o.drawEveryFrame = true;
            else if (arg == "--version")
                o.version = true;
            else
                o.help = true;
            continue;
        }
        static const std::set<std::string> kValued = {
            "--level",      "--frames",    "--clock-start", "--input",      "--record",
            "--screenshot", "--audio-out", "--dump",        "--dump-every", "--assets"};
        if (!kValued.count(arg))
            return fail("unknown option '" + platform::Shown(arg) + "' (see --help)");
        std::string v;
        if (!needValue(&v)) return fail(arg + " needs a value (see --help)");
        if (arg == "--level") {
            levelGiven = true;
            o.level = FindLevel(game.levels, v);
            if (!o.level)
                return fail("unknown level '" + platform::Shown(v) + "' (choose " +
                            LevelNames(game.levels, ", ", " or ") + ")");
        } else if (arg == "--frames") {
            if (!ParseInt(v, 0, 1LL << 40, &o.frames))
                return fail("--frames needs a whole number of frames, not '" + platform::Shown(v) +
                            "'");
        } else if (arg == "--clock-start") {
            if (!ParseInt(v, 0, 1LL << 40, &o.clockStart))
                return fail("--clock-start needs whole seconds since 1970, not '" +
                            platform::Shown(v) + "'");
        } else if (arg == "--dump-every") {
            if (!ParseInt(v, 1, 1LL << 40, &o.dumpEvery))
                return fail("--dump-every needs a whole number from 1, not '" + platform::Shown(v) +
                            "'");
        } else if (arg == "--screenshot") {
            const auto colon = v.find(':');
            std::int64_t frame = 0;
            if (colon == std::string::npos || !ParseInt(v.substr(0, colon), 1, 1LL << 40, &frame) ||
                colon + 1 >= v.size())
                return fail("--screenshot needs FRAME:FILE.png with FRAME from 1, not '" +
                            platform::Shown(v) + "'");
            o.screenshots.emplace_back(frame, v.substr(colon + 1));
        } else {
            if (v.empty()) return fail(arg + " needs a non-empty value");
            if (arg == "--input")
                o.input = v;
            else if (arg == "--record")
                o.record = v;
            else if (arg == "--audio-out")
                o.audioOut = v;
            else if (arg == "--dump")
                o.dump = v;
            else if (arg == "--assets")
                o.assets = v;
        }
    }
    if (o.menu && levelGiven) return fail("--menu and --level cannot be used together");
    *out = o;
    return (o.help || o.version) ? ParseResult::kExit : ParseResult::kRun;
}
