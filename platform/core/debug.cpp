#include "platform/core/debug.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "base/setting.h"
#include "platform/core/context.h"
#include "platform/core/input_script.h"  // Shown
#include "platform/core/internal.h"
#include "platform/driver.h"

// Debug output is for developers: silent unless VELMOR_TRACE=1. What a user
// sees of a failure is the one line its caller writes.
bool platform::detail::TraceEnabled() {
    const char* v = std::getenv("VELMOR_TRACE");
    if (!v || std::strcmp(v, "0") == 0) return false;
    if (std::strcmp(v, "1") == 0) return true;
    ReportUnusableSetting("VELMOR_TRACE", v, "0 or 1", "0");
    return false;
}

void OutputDebugStringA(const char* text) {
    if (!text || !platform::detail::TraceEnabled()) return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}

void OutputDebugStringW(const wchar_t* text) {
    if (!text || !platform::detail::TraceEnabled()) return;
    std::fprintf(stderr, "%ls", text);
    std::fflush(stderr);
}

namespace {

// A file that cannot be had, with every place it was looked for in turn
// (a game retries a name in another folder): one line for all of them.
struct LoadFailure {
    std::string key;                                         // the file's own name, lower case
    std::vector<std::pair<std::string, std::string>> tries;  // place, why
    bool told = false;
};

struct DebugState {
    std::mutex lock;  // guards `failures`
    std::vector<LoadFailure> failures;
    std::string lastBox;  // the last message box, as "caption: text"; empty before one
};

DebugState& Debug() { return platform::detail::Ctx().debug.Get<DebugState>(); }

// A name as the line shows it. Names come from files too (a mesh names its
// textures): an escape sequence in one must not reach the terminal.
std::string Place(const std::string& name) {
    constexpr std::size_t kLongestPath = 4096;
    return platform::Shown(name, kLongestPath);
}

std::string LineFor(const LoadFailure& f) {
    const auto& [first, why] = f.tries.front();
    std::string line = platform::ProgramName() + ": cannot load '" + Place(first) + "'";
    bool sameWhy = true;
    for (const auto& t : f.tries) sameWhy = sameWhy && t.second == why;
    if (sameWhy) {
        for (std::size_t i = 1; i < f.tries.size(); ++i)
            line += (i == 1 ? " (also tried '" : ", '") + Place(f.tries[i].first) + "'";
        if (f.tries.size() > 1) line += ")";
        return line + ": " + why;
    }
    line += ": " + why;
    for (std::size_t i = 1; i < f.tries.size(); ++i)
        line += "; '" + Place(f.tries[i].first) + "': " + f.tries[i].second;
    return line;
}

// Whether any line was written.
bool TellPendingLocked(DebugState& all) {
    bool told = false;
    for (LoadFailure& f : all.failures)
        if (!f.told) {
            std::fprintf(stderr, "%s\n", LineFor(f).c_str());
            f.told = told = true;
        }
    return told;
}

}  // namespace

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT) {
    const char* t = text ? text : "";
    const char* c = caption ? caption : "";
    DebugState& all = Debug();
    const std::string line = std::string(c) + ": " + t;
    const bool repeated = all.lastBox == line;
    all.lastBox = line;
    // A box that follows a failed load tells the same news: headless, the
    // file's own line stands for it, and a box repeated word for word is
    // written once.
    bool toldFile = false;
    {
        std::lock_guard<std::mutex> g(all.lock);
        toldFile = TellPendingLocked(all);
    }
    // A driver that cannot show one (headless has no entry) leaves the line.
    const platform::VideoDriver* video = platform::detail::Video();
    const bool shown = video && video->messageBox &&
                       video->messageBox(platform::detail::NativeWindowOf(owner), t, c);
    if (!shown && !toldFile && !repeated)
        std::fprintf(stderr, "%s: %s\n", platform::ProgramName().c_str(), line.c_str());
    return IDOK;
}

namespace platform {

namespace {
std::string& Name() {
    static std::string name = "velmor";
    return name;
}
}  // namespace

void SetProgramName(const std::string& name) { Name() = name; }
const std::string& ProgramName() { return Name(); }

void ReportLoadFailure(const std::string& name, const std::string& why) {
    std::string place = name;
    std::replace(place.begin(), place.end(), '\\', '/');
    std::string key = place.substr(place.find_last_of('/') + 1);
    for (char& ch : key) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    DebugState& all = Debug();
    std::lock_guard<std::mutex> g(all.lock);
    auto it = std::find_if(all.failures.begin(), all.failures.end(),
                           [&](const LoadFailure& f) { return f.key == key; });
    if (it == all.failures.end()) {
        all.failures.push_back({key, {{place, why}}, false});
        return;
    }
    if (it->told) return;  // once per run
    for (const auto& tried : it->tries)
        if (tried.first == place) return;
    it->tries.emplace_back(place, why);
}

}  // namespace platform

namespace platform::detail {

void TellLoadFailures() {
    DebugState& all = Debug();
    std::lock_guard<std::mutex> g(all.lock);
    TellPendingLocked(all);
}

}  // namespace platform::detail
