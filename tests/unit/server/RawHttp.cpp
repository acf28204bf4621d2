#include "RawHttp.h"

#include <arpa/inet.h>
#include <chrono>
#include <cstdlib>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace terrabo::server::testing {

Connection::Connection(int port) {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0)
        return;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        close();
}

Connection::~Connection() {
    close();
}

Connection::Connection(Connection&& other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

void Connection::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

bool Connection::send(const std::string& bytes) {
    size_t sent = 0;
    while (fd_ >= 0 && sent < bytes.size()) {
        const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return fd_ >= 0;
}

std::string Connection::receiveAll(double seconds) {
    std::string out;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    char buffer[16384];
    while (fd_ >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left.count())) <= 0)
            break;
        const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        out.append(buffer, static_cast<size_t>(n));
    }
    return out;
}

std::string Connection::receiveSome(double seconds) {
    pollfd p{fd_, POLLIN, 0};
    if (fd_ < 0 || ::poll(&p, 1, static_cast<int>(seconds * 1000)) <= 0)
        return {};
    char buffer[16384];
    const ssize_t n = ::recv(fd_, buffer, sizeof buffer, 0);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

Response parseResponse(const std::string& raw) {
    Response r;
    if (raw.rfind("HTTP/1.", 0) != 0 || raw.size() < 12)
        return r;
    r.status = std::atoi(raw.substr(9, 3).c_str());
    const size_t end = raw.find("\r\n\r\n");
    r.headers = raw.substr(0, end);
    if (end != std::string::npos)
        r.body = raw.substr(end + 4);
    return r;
}

namespace {

bool complete(const std::string& raw) {
    const size_t end = raw.find("\r\n\r\n");
    if (end == std::string::npos)
        return false;
    const std::string head = raw.substr(0, end);
    const size_t at = head.find("Content-Length: ");
    if (at == std::string::npos)
        return false;
    return raw.size() - end - 4 >= std::stoul(head.substr(at + 16));
}

} // namespace

Response exchange(int port, const std::string& request, double seconds) {
    Connection c(port);
    if (!c.send(request))
        return {};
    std::string raw;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!complete(raw) && std::chrono::steady_clock::now() < deadline) {
        const std::string more = c.receiveSome(
            std::chrono::duration<double>(deadline - std::chrono::steady_clock::now()).count());
        if (more.empty())
            break;
        raw += more;
    }
    return parseResponse(raw);
}

Response get(int port, const std::string& target) {
    return exchange(port,
                    "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

Response post(int port, const std::string& target, const std::string& body) {
    return exchange(port,
                    "POST " + target +
                        " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                        "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
                        std::to_string(body.size()) + "\r\n\r\n" + body);
}

} // namespace terrabo::server::testing
