#include "platform/core/window.h"

#include <algorithm>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "platform/core/context.h"
#include "platform/core/internal.h"
#include "platform/core/platform.h"
#include "platform/driver.h"

struct Window {
    std::string className;
    std::string title;
    WNDPROC proc = nullptr;
    int width = 0;
    int height = 0;
    bool visible = false;
    bool destroyed = false;
    void* native = nullptr;
};

namespace {

// Windows and their queue belong to the thread that made them; the game has
// one such thread. This is process state, not the thread's: it lives in the
// context, one share per thread, so Shutdown ends every thread's windows,
// and a thread's share is taken out when the thread ends.
struct ThreadWindows {
    std::map<std::string, WNDCLASSEXA> classes;
    std::list<std::unique_ptr<Window>> windows;  // freed with the share
    std::deque<MSG> queue;
    ATOM nextAtom = 0xC000;
};
struct WindowState {
    std::mutex lock;  // guards the map, not a thread's share
    std::map<std::thread::id, ThreadWindows> threads;
};

using platform::detail::Video;

struct LeaveOnThreadExit {
    ~LeaveOnThreadExit() {
        std::lock_guard<std::mutex> g(platform::detail::CtxLock());
        auto* all =
            platform::detail::ExistingState<WindowState>(&platform::detail::Context::windows);
        if (!all) return;
        std::lock_guard<std::mutex> w(all->lock);
        all->threads.erase(std::this_thread::get_id());
    }
};

ThreadWindows& State() {
    thread_local LeaveOnThreadExit leave;
    (void)leave;
    WindowState& all = platform::detail::Ctx().windows.Get<WindowState>();
    std::lock_guard<std::mutex> g(all.lock);
    return all.threads[std::this_thread::get_id()];  // map nodes stay put
}

bool IsLive(HWND w) {
    if (!w) return false;
    for (auto& p : State().windows)
        if (p.get() == w) return !w->destroyed;
    return false;
}

bool Matches(const MSG& m, HWND window, UINT lo, UINT hi) {
    if (window && m.hwnd != window) return false;
    if (lo == 0 && hi == 0) return true;
    return m.message >= lo && m.message <= hi;
}

}  // namespace

ATOM RegisterClassExA(const WNDCLASSEXA* wc) {
    if (!wc || !wc->lpszClassName || !wc->lpfnWndProc) return 0;
    auto& st = State();
    if (st.classes.count(wc->lpszClassName)) return 0;  // already registered
    st.classes[wc->lpszClassName] = *wc;
    return st.nextAtom++;
}

HCURSOR LoadCursorA(HINSTANCE, std::uintptr_t cursorName) {
    return reinterpret_cast<HCURSOR>(cursorName);
}

HGDIOBJ GetStockObject(int object) { return reinterpret_cast<HGDIOBJ>(std::intptr_t{object} + 1); }

HWND CreateWindowExA(DWORD, const char* className, const char* windowName, DWORD, int, int,
                     int width, int height, HWND, HMENU, HINSTANCE, void*) {
    auto& st = State();
    if (!className) return nullptr;
    auto it = st.classes.find(className);
    if (it == st.classes.end()) return nullptr;
    auto w = std::make_unique<Window>();
    w->className = className;
    w->title = windowName ? windowName : "";
    w->proc = it->second.lpfnWndProc;
    w->width = width;
    w->height = height;
    // Windowed runs get a native window; headless runs (and tests) an offscreen one.
    if (!platform::IsHeadless() && Video()->createWindow) {
        w->native = Video()->createWindow(w->title.c_str(), width, height);
        if (!w->native) return nullptr;
    }
    HWND h = w.get();
    st.windows.push_back(std::move(w));
    h->proc(h, WM_CREATE, 0, 0);
    return h;
}

BOOL ShowWindow(HWND window, int) {
    if (!IsLive(window)) return 0;
    BOOL was = window->visible;
    window->visible = true;
    if (window->native && Video()->showWindow) Video()->showWindow(window->native);
    return was;
}

BOOL UpdateWindow(HWND window) { return IsLive(window) ? 1 : 0; }

BOOL IsWindow(HWND window) { return IsLive(window) ? 1 : 0; }

BOOL DestroyWindow(HWND window) {
    if (!IsLive(window)) return 0;
    window->destroyed = true;
    window->proc(window, WM_DESTROY, 0, 0);
    if (window->native) {
        if (Video()->destroyWindow) Video()->destroyWindow(window->native);
        window->native = nullptr;
    }
    return 1;
}

BOOL PeekMessageA(MSG* msg, HWND window, UINT lo, UINT hi, UINT removeMsg) {
    platform::NotifyPassStart();
    if (Video() && Video()->pumpEvents) Video()->pumpEvents();
    auto& q = State().queue;
    auto it =
        std::find_if(q.begin(), q.end(), [&](const MSG& m) { return Matches(m, window, lo, hi); });
    if (it == q.end()) return 0;
    if (msg) *msg = *it;
    if (removeMsg & PM_REMOVE) q.erase(it);
    return 1;
}

BOOL TranslateMessage(const MSG* msg) { return msg && msg->message == WM_KEYDOWN ? 1 : 0; }

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !IsLive(msg->hwnd)) return 0;
    return msg->hwnd->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT DefWindowProcA(HWND window, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_CLOSE) DestroyWindow(window);
    return 0;
}

LRESULT SendMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!IsLive(window)) return 0;
    return window->proc(window, msg, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (window && !IsLive(window)) return 0;
    State().queue.push_back(MSG{window, msg, wParam, lParam, 0, {}});
    return 1;
}

void PostQuitMessage(int exitCode) {
    State().queue.push_back(MSG{nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0, 0, {}});
}

HINSTANCE GetModuleHandleA(const char*) {
    static int self;
    return &self;
}

namespace platform {

bool GetWindowSize(HWND window, int* width, int* height) {
    if (!IsLive(window)) return false;
    if (width) *width = window->width;
    if (height) *height = window->height;
    return true;
}

HWND MainWindow() {
    for (auto& w : State().windows)
        if (!w->destroyed) return w.get();
    return nullptr;
}

int PendingMessageCount() { return static_cast<int>(State().queue.size()); }

}  // namespace platform

namespace platform::detail {

void* NativeWindowOf(HWND window) { return IsLive(window) ? window->native : nullptr; }

void ShowFrame(HWND window, const PresentedImage& image) {
    void* native = NativeWindowOf(window);
    if (native && Video() && Video()->present)
        Video()->present(native, image.Pixels(), image.Width(), image.Height());
}

void DropNativeWindows() {
    auto* all = ExistingState<WindowState>(&Context::windows);
    if (!all) return;
    std::lock_guard<std::mutex> g(all->lock);
    for (auto& [thread, st] : all->threads)
        for (auto& w : st.windows) {
            if (w->native && Video()->destroyWindow) Video()->destroyWindow(w->native);
            w->native = nullptr;
            w->destroyed = true;
        }
}

}  // namespace platform::detail
