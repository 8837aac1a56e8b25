/// @file
/// Window, window class and message queue: the calls the engine makes to run
/// its window and frame loop. Messages live in a per-thread queue; a window's
/// procedure runs inside DispatchMessageA on the caller's thread.
#pragma once

#include <cstdint>

#include "platform/core/types.h"

using HINSTANCE = void*;
using HICON = void*;
using HCURSOR = void*;
using HBRUSH = void*;
using HGDIOBJ = void*;
using HMENU = void*;
using ATOM = std::uint16_t;

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_USER = 0x0400;

constexpr UINT PM_NOREMOVE = 0;
constexpr UINT PM_REMOVE = 1;

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr DWORD WS_OVERLAPPEDWINDOW = 0x00CF0000;
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000u);
constexpr int SW_SHOWDEFAULT = 10;
constexpr int SW_SHOWNORMAL = 1;
constexpr std::uintptr_t IDC_ARROW = 32512;
constexpr int WHITE_BRUSH = 0;

struct WNDCLASSEXA {
    UINT cbSize = 0;
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    int cbClsExtra = 0;
    int cbWndExtra = 0;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    HBRUSH hbrBackground = nullptr;
    const char* lpszMenuName = nullptr;
    const char* lpszClassName = nullptr;
    HICON hIconSm = nullptr;
};

struct POINT {
    LONG x = 0;
    LONG y = 0;
};

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    DWORD time = 0;
    POINT pt;
};

ATOM RegisterClassExA(const WNDCLASSEXA* wc);
HCURSOR LoadCursorA(HINSTANCE instance, std::uintptr_t cursorName);
HGDIOBJ GetStockObject(int object);
HWND CreateWindowExA(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                     int x, int y, int width, int height, HWND parent, HMENU menu,
                     HINSTANCE instance, void* param);
BOOL ShowWindow(HWND window, int cmdShow);
BOOL UpdateWindow(HWND window);
BOOL DestroyWindow(HWND window);
BOOL IsWindow(HWND window);

/// Removes (PM_REMOVE) or peeks at the oldest message of any window of the
/// calling thread. Before looking, it takes in pending system events and the
/// scripted input that is due; that is the only place where they enter.
BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg);
BOOL TranslateMessage(const MSG* msg);
LRESULT DispatchMessageA(const MSG* msg);
LRESULT DefWindowProcA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT SendMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
BOOL PostMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);

HINSTANCE GetModuleHandleA(const char* moduleName);

namespace platform {

/// Size of the client area of a window (what the back buffer is shown in).
bool GetWindowSize(HWND window, int* width, int* height);

/// The first window created that is not yet destroyed, or null.
HWND MainWindow();

/// Number of messages waiting in the calling thread's queue.
int PendingMessageCount();

}  // namespace platform
