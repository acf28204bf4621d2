// The real program against clients that try to wear it down: many slow
// senders, and one sender of endless headers.
#include "RawHttp.h"
#include "ServerProcess.h"
#include "SmallGazetteer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <vector>

namespace terrabo::server {
namespace {

using testing::Connection;
using testing::ServerProcess;

constexpr const char* kParis = "48.85341|2.34880|Paris%2C%20%C3%8Ele-de-France%2C%20France";

class HostileClients : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(server.waitFor("listening on")) << server.log();
        port = server.port();
        ASSERT_GT(port, 0);
    }
    void expectAnswered() {
        const auto r = testing::post(port, "/zentra/decode.php?address=Paris", "");
        EXPECT_EQ(r.status, 200);
        EXPECT_EQ(r.body, kParis);
    }

    ServerProcess server{{"--port", "0", "--quiet", "--index", testing::smallGazetteerFile()}};
    int port = 0;
};

TEST_F(HostileClients, SlowSendersDoNotKeepOthersWaiting) {
    // More connections than the old thread-per-connection design had threads,
    // each sending a byte of its headers every half second.
    std::vector<Connection> slow;
    for (int i = 0; i < 600; ++i) {
        slow.emplace_back(port);
        ASSERT_TRUE(slow.back().connected());
        slow.back().send("GET /apps HTTP/1.1\r\nHost: x\r\n");
    }
    std::atomic<bool> done{false};
    std::thread trickle([&] {
        for (int round = 0; round < 40 && !done; ++round) {
            for (Connection& c : slow)
                c.send("X"); // fails once the server has given up on it
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
    });
    for (int i = 0; i < 3; ++i) {
        expectAnswered();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    done = true;
    trickle.join();
}

TEST_F(HostileClients, HeaderFloodIsRefusedWithoutHoldingMemory) {
    const long before = testing::residentKb(server.pid());
    ASSERT_GT(before, 0);

    Connection flood(port);
    ASSERT_TRUE(flood.send("GET /apps HTTP/1.1\r\nHost: x\r\n"));
    fcntl(flood.fd(), F_SETFL, fcntl(flood.fd(), F_GETFL) | O_NONBLOCK);
    std::string lines;
    while (lines.size() < 65536)
        lines += "X-Flood: 1\r\n";
    // Up to 210 MB of small headers, until the server answers or hangs up.
    std::string answer;
    bool closed = false;
    size_t sent = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!closed && sent < (210u << 20) && std::chrono::steady_clock::now() < deadline) {
        pollfd p{flood.fd(), POLLIN | POLLOUT, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        if (p.revents & (POLLIN | POLLHUP | POLLERR)) {
            char buffer[4096];
            const ssize_t n = recv(flood.fd(), buffer, sizeof buffer, 0);
            if (n > 0)
                answer.append(buffer, static_cast<size_t>(n));
            else if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                closed = true;
        } else if (p.revents & POLLOUT) {
            const ssize_t n = send(flood.fd(), lines.data(), lines.size(), MSG_NOSIGNAL);
            if (n > 0)
                sent += static_cast<size_t>(n);
            else if (errno != EAGAIN && errno != EWOULDBLOCK)
                closed = true;
        }
    }
    EXPECT_TRUE(closed || answer.starts_with("HTTP/1.1 431")) << answer;
    if (!answer.empty()) {
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 431")) << answer;
    }
    EXPECT_LT(sent, 210u << 20) << "all of it was taken";
    EXPECT_LT(testing::residentKb(server.pid()) - before, 10 * 1024);
    expectAnswered();
}

} // namespace
} // namespace terrabo::server
