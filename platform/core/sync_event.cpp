// Auto-reset and manual-reset event objects, as the streaming sound waits on
// them and the mixer signals them from its own thread.
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/core/dsound.h"

namespace {

struct Event {
    std::mutex m;
    std::condition_variable cv;
    bool signaled = false;
    bool manual = false;
};

}  // namespace

HANDLE CreateEventA(void*, BOOL manualReset, BOOL initialState, const char*) {
    auto* e = new Event;
    e->manual = manualReset != 0;
    e->signaled = initialState != 0;
    return e;
}

BOOL SetEvent(HANDLE event) {
    if (!event) return 0;
    auto* e = static_cast<Event*>(event);
    {
        std::lock_guard<std::mutex> g(e->m);
        e->signaled = true;
    }
    e->cv.notify_all();
    return 1;
}

DWORD WaitForSingleObject(HANDLE event, DWORD milliseconds) {
    if (!event) return WAIT_FAILED;
    auto* e = static_cast<Event*>(event);
    std::unique_lock<std::mutex> g(e->m);
    auto ready = [e] { return e->signaled; };
    if (milliseconds == INFINITE)
        e->cv.wait(g, ready);
    else if (!e->cv.wait_for(g, std::chrono::milliseconds(milliseconds), ready))
        return WAIT_TIMEOUT;
    if (!e->manual) e->signaled = false;
    return WAIT_OBJECT_0;
}

BOOL CloseHandle(HANDLE event) {
    if (!event) return 0;
    delete static_cast<Event*>(event);
    return 1;
}

void Sleep(DWORD milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}
