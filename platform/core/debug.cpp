#include "platform/core/debug.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/core/internal.h"
#include "platform/core/platform.h"
#include "platform/driver.h"


void OutputDebugStringA(const char* text) {
    if (!text) return;
    std::fputs(text, stderr);
    std::fflush(stderr);
}

void OutputDebugStringW(const wchar_t* text) {
    if (!text) return;
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
    if (!shown)
        std::fprintf(stderr, "velmor: %s: %s\n", c, t);
    return IDOK;
}

namespace platform::detail {
MessageBoxLog& MessageBoxes() {
    static MessageBoxLog log;
    return log;
}
}  // namespace platform::detail
