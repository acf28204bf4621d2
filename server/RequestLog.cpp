#include "server/RequestLog.h"

#include <cerrno>
#include <chrono>
#include <unistd.h>

namespace terrabo::server {
namespace {

void writeAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // nowhere to log to; the server goes on
        done += static_cast<size_t>(n);
    }
}

} // namespace

RequestLog::RequestLog(int fd, size_t maxPendingBytes)
    : fd_(fd), maxPending_(maxPendingBytes), writer_([this] { run(); }) {}

RequestLog::~RequestLog() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void RequestLog::add(std::string_view line) {
    bool first;
    {
        std::lock_guard lock(mutex_);
        if (pending_.size() + line.size() > maxPending_) {
            ++dropped_;
            return;
        }
        first = pending_.empty();
        pending_ += line;
    }
    if (first)
        wake_.notify_one();
}

void RequestLog::run() {
    std::string batch;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty() && stopping_)
            return;
        batch.swap(pending_);
        const size_t dropped = dropped_;
        dropped_ = 0;
        lock.unlock();
        if (dropped)
            batch += "terrabo-server: " + std::to_string(dropped) + " log lines dropped\n";
        writeAll(fd_, batch);
        batch.clear();
        // Gathers the next lines into one write while busy.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        lock.lock();
    }
}

} // namespace terrabo::server
