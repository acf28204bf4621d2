#pragma once

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

namespace terrabo::test {

// A one-connection-at-a-time HTTP server on 127.0.0.1 that records what it
// was sent and then answers with fixed bytes, hangs up, or stays silent.
class StubHttpServer {
  public:
    enum class Mode { Answer, HangUp, Silent };

    StubHttpServer(Mode mode, std::string response = {});
    ~StubHttpServer();

    std::string base() const;
    int port() const { return port_; }
    // The raw bytes of the last request: request line, headers, body.
    std::string lastRequest() const;

  private:
    void serve();
    void handle(int client);

    Mode mode_;
    std::string response_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::string request_;
    std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on.
int closedPort();

} // namespace terrabo::test
