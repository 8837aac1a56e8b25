// Debugger output and message boxes. Debug output goes to standard error
// when VELMOR_TRACE=1 and nowhere otherwise. A
// message box is a real dialog when a display is available and a line on
// standard error otherwise; it never blocks a headless run.
#pragma once

#include <string>

#include "platform/core/types.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr int IDOK = 1;

void OutputDebugStringA(const char* text);
void OutputDebugStringW(const wchar_t* text);
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

namespace platform {

// The name the platform's own lines on standard error start with: "velmor"
// until a game's program sets its own.
void SetProgramName(const std::string& name);
const std::string& ProgramName();

// A file that cannot be loaded. The user gets one line per file for the
// whole run, written at the start of the next loop pass, before a message
// box, or at shutdown: "velmor: cannot load 'NAME': WHY", naming the other
// places tried when the same file (by its own name, in any case) was looked
// for elsewhere in between: "velmor: cannot load 'a.bmp' (also tried
// '../a.bmp'): WHY".
void ReportLoadFailure(const std::string& name, const std::string& why);

}  // namespace platform
