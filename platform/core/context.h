// Private to core (and platform/testing): the platform's process-wide state,
// gathered in one context. Game code never includes this header.
//
// Lifetime. platform::Init uses the current context, making one if there is
// none; platform::Shutdown closes the audio device, drops the native windows,
// stops the video driver and destroys the context. Platform code used with
// no context (a tool, or a unit test that makes a window, an input device or
// a sound buffer without Init) makes one on first use; that one too lives
// until Shutdown, and Init adopts it, so what was set up before Init (a mix
// tap, a present listener) belongs to the run. Shutdown followed by first
// use gives a fresh context: every window, queued message, class, listener,
// held key, buffer list, recording and clock setting starts over.
//
// Objects the game still holds across a Shutdown (windows, input devices,
// sound buffers of an engine that outlives it) never reach into an ended
// context: a window handle is only compared with the current context's
// windows, so it names none any more; a device or buffer takes itself out of
// the current context, if there is one, when it goes, and is in none of its
// lists.
//
// Each subsystem defines its own state in its own file (the state uses the
// subsystem's public types, whose headers cannot include this one); the
// context owns one of each, made on the subsystem's first use.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>

namespace platform::detail {

// One subsystem's state, owned by the context.
class Slot {
  public:
    Slot() = default;
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    ~Slot() {
        if (void* p = state_.load(std::memory_order_relaxed)) free_(p);
    }
    // The state, made on first use (from any thread).
    template <typename T>
    T& Get() {
        void* p = state_.load(std::memory_order_acquire);
        if (!p)
            p = Make(
                +[]() -> void* { return new T; }, +[](void* q) { delete static_cast<T*>(q); });
        return *static_cast<T*>(p);
    }
    // The state, or null when it has not been made.
    template <typename T>
    T* Find() {
        return static_cast<T*>(state_.load(std::memory_order_acquire));
    }

  private:
    void* Make(void* (*make)(), void (*free)(void*));
    std::atomic<void*> state_{nullptr};
    void (*free_)(void*) = nullptr;
};

struct Context {
    // Frames presented so far: what the virtual clock counts.
    std::int64_t presentedFrames = 0;
    Slot run;       // platform.cpp: listeners, the loop's pass, whether Init started
    Slot clock;     // clock.cpp: which clock runs, scripted and held readings
    Slot windows;   // window.cpp: each thread's windows, classes and queue
    Slot input;     // dinput.cpp: held keys and buttons, devices, focus
    Slot recorder;  // input_record.cpp: a recording under way
    Slot audio;     // mixer.cpp: the mixer and how it is driven
    Slot debug;     // debug.cpp: load failures, the last message box
};

// The current context, made on first use.
Context& Ctx();
// The current context, or null when there is none: for objects that may
// outlive it and must not make one.
Context* ExistingCtx();
// Destroys the current context (Shutdown does, last).
void EndCtx();
// Held while a context is made or destroyed.
std::mutex& CtxLock();

// One subsystem's state in the current context, or null when there is no
// context or the state was never made: for code that must make neither.
template <typename T>
T* ExistingState(Slot Context::*slot) {
    Context* c = ExistingCtx();
    return c ? (c->*slot).Find<T>() : nullptr;
}

}  // namespace platform::detail
