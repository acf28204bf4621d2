#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace terrabo::server {

// Runs jobs on a pool of threads that grows, up to a ceiling, when every
// thread is busy. A connection holds its thread while the client is slow or
// idle, so a fixed pool would let a few idle clients stall everyone else.
class WorkerPool {
  public:
    WorkerPool(size_t initialThreads, size_t maxThreads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    void submit(std::function<void()> job);
    // Runs what is queued, then joins every thread. Later jobs are dropped.
    void shutdown();

    size_t threadCount() const;

  private:
    void work();
    void startThread(); // with mutex_ held

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    size_t idle_ = 0;
    size_t maxThreads_;
    bool stopping_ = false;
};

} // namespace terrabo::server
