#include "platform/soft/worker_pool.h"

namespace platform::soft {

namespace {

// Waits for a count that other running threads are about to reach.
void SpinUntil(const std::atomic<int>& value, int target) {
    for (int spin = 1; value.load(std::memory_order_acquire) != target; ++spin)
        if (spin % 64 == 0) std::this_thread::yield();
}

}  // namespace

WorkerPool::WorkerPool(int size) {
    for (int i = 1; i < size; ++i) threads_.emplace_back([this] { Loop(); });
}

WorkerPool::~WorkerPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : threads_) t.join();
}

void WorkerPool::Work() {
    for (int i = next_.fetch_add(1, std::memory_order_relaxed); i < count_;
         i = next_.fetch_add(1, std::memory_order_relaxed)) {
        task_(context_, i);
        finished_.fetch_add(1, std::memory_order_release);
    }
}

void WorkerPool::Run(int count, Task task, void* context) {
    if (threads_.empty() || count <= 1) {
        for (int i = 0; i < count; ++i) task(context, i);
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        task_ = task;
        context_ = context;
        count_ = count;
        next_.store(0, std::memory_order_relaxed);
        finished_.store(0, std::memory_order_relaxed);
        open_ = true;
        ++generation_;
    }
    wake_.notify_all();
    Work();
    // Tasks still running belong to workers that are awake: a short wait.
    SpinUntil(finished_, count);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        open_ = false;
    }
    // A worker that joined as the tasks ran out leaves at once; let it go
    // before the fields change for the next job.
    SpinUntil(inside_, 0);
}

void WorkerPool::Loop() {
    std::uint64_t seen = 0;
    for (;;) {
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait(lock, [&] { return stop_ || generation_ != seen; });
        if (stop_) return;
        seen = generation_;
        if (!open_) continue;  // woke after that job was over
        inside_.fetch_add(1, std::memory_order_relaxed);
        lock.unlock();
        Work();
        inside_.fetch_sub(1, std::memory_order_release);
    }
}

}  // namespace platform::soft
