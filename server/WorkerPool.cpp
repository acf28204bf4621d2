#include "server/WorkerPool.h"

#include <algorithm>

namespace terrabo::server {

WorkerPool::WorkerPool(size_t initialThreads, size_t maxThreads)
    : maxThreads_(std::max<size_t>(maxThreads, 1)) {
    std::lock_guard lock(mutex_);
    for (size_t i = 0; i < std::clamp<size_t>(initialThreads, 1, maxThreads_); ++i)
        startThread();
}

WorkerPool::~WorkerPool() {
    shutdown();
}

void WorkerPool::startThread() {
    ++idle_;
    threads_.emplace_back([this] { work(); });
}

void WorkerPool::submit(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        jobs_.push_back(std::move(job));
        if (idle_ < jobs_.size() && threads_.size() < maxThreads_)
            startThread();
    }
    wake_.notify_one();
}

void WorkerPool::shutdown() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        threads.swap(threads_);
    }
    wake_.notify_all();
    for (std::thread& t : threads)
        if (t.joinable())
            t.join();
}

size_t WorkerPool::threadCount() const {
    std::lock_guard lock(mutex_);
    return threads_.size();
}

void WorkerPool::work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
        if (jobs_.empty())
            return; // stopping, and nothing left to run
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        --idle_;
        lock.unlock();
        job();
        job = nullptr;
        lock.lock();
        ++idle_;
    }
}

} // namespace terrabo::server
