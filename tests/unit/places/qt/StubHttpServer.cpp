#include "StubHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>

namespace terrabo::test {

namespace {

int bindLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0)
        std::abort();
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    port = ntohs(addr.sin_port);
    return fd;
}

bool readable(int fd, int timeoutMs) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, timeoutMs) > 0;
}

// Headers complete and as many body bytes as Content-Length announces.
bool complete(const std::string& data) {
    const auto end = data.find("\r\n\r\n");
    if (end == std::string::npos)
        return false;
    std::size_t length = 0;
    const auto at = data.find("Content-Length: ");
    if (at != std::string::npos && at < end)
        length = std::strtoul(data.c_str() + at + 16, nullptr, 10);
    return data.size() >= end + 4 + length;
}

} // namespace

StubHttpServer::StubHttpServer(Mode mode, std::string response)
    : mode_(mode), response_(std::move(response)) {
    listener_ = bindLoopback(port_);
    listen(listener_, 4);
    thread_ = std::thread([this] { serve(); });
}

StubHttpServer::~StubHttpServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
}

std::string StubHttpServer::base() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::string StubHttpServer::lastRequest() const {
    std::lock_guard lock(mutex_);
    return request_;
}

void StubHttpServer::serve() {
    while (!stop_) {
        if (!readable(listener_, 20))
            continue;
        const int client = accept(listener_, nullptr, nullptr);
        if (client >= 0) {
            handle(client);
            close(client);
        }
    }
}

void StubHttpServer::handle(int client) {
    std::string data;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    char buffer[4096];
    while (!stop_ && !complete(data) && std::chrono::steady_clock::now() < deadline) {
        if (!readable(client, 20))
            continue;
        const ssize_t n = recv(client, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    {
        std::lock_guard lock(mutex_);
        request_ = data;
    }
    if (mode_ == Mode::Answer)
        send(client, response_.data(), response_.size(), MSG_NOSIGNAL);
    while (mode_ == Mode::Silent && !stop_)
        if (readable(client, 20) && recv(client, buffer, sizeof buffer, 0) <= 0)
            break; // the client gave up
}

int closedPort() {
    int port = 0;
    close(bindLoopback(port));
    return port;
}

} // namespace terrabo::test
