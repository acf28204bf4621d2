#pragma once

#include <string>

namespace terrabo::server::testing {

// A blocking TCP connection to the server under test, on the loopback.
class Connection {
  public:
    explicit Connection(int port);
    ~Connection();
    Connection(Connection&& other) noexcept;
    Connection(const Connection&) = delete;

    bool connected() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    bool send(const std::string& bytes);
    // Reads until the peer closes or `seconds` pass.
    std::string receiveAll(double seconds = 5);
    // What one read brings, waiting at most `seconds`; empty when nothing.
    std::string receiveSome(double seconds = 5);
    void close();

  private:
    int fd_ = -1;
};

struct Response {
    int status = 0; // 0: no answer
    std::string headers;
    std::string body;
};

Response parseResponse(const std::string& raw);

// Sends a request and reads one answer: up to its Content-Length, or until
// the server closes.
Response exchange(int port, const std::string& request, double seconds = 5);
Response get(int port, const std::string& target);
Response post(int port, const std::string& target, const std::string& body);

} // namespace terrabo::server::testing
