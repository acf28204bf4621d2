#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>

namespace terrabo::server {

// One line per request, written by a thread of its own: at tens of
// thousands of requests a second, a write per line from every worker would
// make the workers queue up on the descriptor. Lines come out whole and in
// the order they were added.
class RequestLog {
  public:
    explicit RequestLog(int fd, size_t maxPendingBytes = 8 << 20);
    ~RequestLog(); // writes what is pending
    RequestLog(const RequestLog&) = delete;
    RequestLog& operator=(const RequestLog&) = delete;

    // `line` ends with a newline. When the descriptor cannot keep up and
    // maxPendingBytes are waiting, lines are counted and dropped instead.
    void add(std::string_view line);

  private:
    void run();

    int fd_;
    size_t maxPending_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::string pending_;
    size_t dropped_ = 0;
    bool stopping_ = false;
    std::thread writer_;
};

} // namespace terrabo::server
