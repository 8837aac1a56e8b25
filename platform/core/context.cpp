#include "platform/core/context.h"

namespace platform::detail {
namespace {

// Reading the pointer takes no lock: the audio device's thread reads it
// while the device is open, and Shutdown closes the device before the
// context goes.
std::atomic<Context*> current{nullptr};

std::mutex& SlotLock() {
    static std::mutex m;
    return m;
}

}  // namespace

void* Slot::Make(void* (*make)(), void (*free)(void*)) {
    std::lock_guard<std::mutex> g(SlotLock());
    void* p = state_.load(std::memory_order_relaxed);
    if (!p) {
        p = make();
        free_ = free;
        state_.store(p, std::memory_order_release);
    }
    return p;
}

std::mutex& CtxLock() {
    static std::mutex m;
    return m;
}

Context& Ctx() {
    if (Context* c = current.load(std::memory_order_acquire)) return *c;
    std::lock_guard<std::mutex> g(CtxLock());
    Context* c = current.load(std::memory_order_relaxed);
    if (!c) {
        c = new Context;
        current.store(c, std::memory_order_release);
    }
    return *c;
}

Context* ExistingCtx() { return current.load(std::memory_order_acquire); }

void EndCtx() {
    std::lock_guard<std::mutex> g(CtxLock());
    delete current.exchange(nullptr, std::memory_order_acq_rel);
}

}  // namespace platform::detail
