#include "platform/core/debug.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <set>
#include <string>

#include "platform/core/internal.h"
#include "platform/core/platform.h"
#include "platform/driver.h"

namespace {
// Debug output is for developers: silent unless VELMOR_TRACE=1. What a user
// sees of a failure is the one line its caller writes.
bool TraceOn() {
    const char* v = std::getenv("VELMOR_TRACE");
    return v && std::strcmp(v, "1") == 0;
}
}  // namespace

void OutputDebugStringA(const char* text) {
    if (!text || !TraceOn()) return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}

void OutputDebugStringW(const wchar_t* text) {
    if (!text || !TraceOn()) return;
    std::fprintf(stderr, "%ls", text);
    std::fflush(stderr);
}

int MessageBoxA(HWND owner, const char* text, const char* caption, UINT) {
    const char* t = text ? text : "";
    const char* c = caption ? caption : "";
    auto& log = platform::detail::MessageBoxes();
    log.last = std::string(c) + ": " + t;
    ++log.count;
    const platform::VideoDriver* video = platform::InstalledDrivers().video;
    const bool shown = !platform::IsHeadless() && video->messageBox &&
                       video->messageBox(platform::detail::NativeWindowOf(owner), t, c);
    if (!shown) std::fprintf(stderr, "velmor: %s: %s\n", c, t);
    return IDOK;
}

namespace platform {

void ReportLoadFailure(const std::string& name, const std::string& why) {
    static std::mutex lock;
    static std::set<std::string> reported;
    std::lock_guard<std::mutex> g(lock);
    if (!reported.insert(name).second) return;
    std::fprintf(stderr, "velmor: cannot load '%s': %s\n", name.c_str(), why.c_str());
}

}  // namespace platform

namespace platform::detail {
MessageBoxLog& MessageBoxes() {
    static MessageBoxLog log;
    return log;
}
}  // namespace platform::detail
