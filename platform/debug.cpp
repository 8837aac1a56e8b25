#include "platform/debug.h"

#include <cstdio>
#include <cwchar>
#include <string>

#include "platform/internal.h"
#include "platform/platform.h"

namespace {
std::string lastBox;
int boxCount = 0;
}  // namespace

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
    lastBox = std::string(c) + ": " + t;
    ++boxCount;
    if (platform::IsHeadless() || !platform::detail::ShowNativeMessageBox(owner, t, c))
        std::fprintf(stderr, "velmor: %s: %s\n", c, t);
    return IDOK;
}

namespace platform {
const char* LastMessageBoxForTest() { return lastBox.c_str(); }
void ClearMessageBoxesForTest() {
    lastBox.clear();
    boxCount = 0;
}
int MessageBoxCountForTest() { return boxCount; }
}  // namespace platform
