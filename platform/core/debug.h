// Debugger output and message boxes. Debug output goes to standard error
// when VELMOR_TRACE=1 and nowhere otherwise. A
// message box is a real dialog when a display is available and a line on
// standard error otherwise; it never blocks a headless run.
#pragma once

#include <string>

#include "platform/core/types.h"
#include "platform/core/window.h"

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONERROR = 0x00000010;
constexpr int IDOK = 1;

void OutputDebugStringA(const char* text);
void OutputDebugStringW(const wchar_t* text);
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

namespace platform {

// One line for the user, once per name for the whole run:
// "velmor: cannot load 'NAME': WHY".
void ReportLoadFailure(const std::string& name, const std::string& why);

}  // namespace platform
