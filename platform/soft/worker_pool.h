// A small fixed pool of worker threads for the software device. The caller
// of Run works too: a pool of size N starts N - 1 threads, parked on a
// condition variable between jobs, so an idle pool costs nothing. The caller
// does not wait for a worker that has not woken by the time the tasks run
// out: a slow wake-up costs at most the parallel share, never a stall.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

namespace platform::soft {

class WorkerPool {
  public:
    using Task = void (*)(void* context, int index);

    explicit WorkerPool(int size);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    int Size() const { return static_cast<int>(threads_.size()) + 1; }

    // Runs task(context, i) for every i in [0, count), each exactly once,
    // spread over the pool; returns when all have finished. Allocates nothing.
    void Run(int count, Task task, void* context);

  private:
    void Loop();
    void Work();

    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::uint64_t generation_ = 0;  // one per job
    // The job's fields: written under the mutex while no worker is inside.
    Task task_ = nullptr;
    void* context_ = nullptr;
    int count_ = 0;
    bool open_ = false;  // workers may still join the current job
    bool stop_ = false;
    std::atomic<int> inside_{0};  // workers that joined and have not left
    std::atomic<int> next_{0};
    std::atomic<int> finished_{0};
};

}  // namespace platform::soft
