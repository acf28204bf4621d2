// The terrabo-server program itself: options, start-up, one log line per
// request, and a clean stop on SIGTERM.
#include "ServerProcess.h"
#include "RawHttp.h"
#include "SmallGazetteer.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace terrabo::server {
namespace {

using testing::ServerProcess;

TEST(ServerProcess, ServesLogsAndStopsCleanlyOnSigterm) {
    ServerProcess server({"--port", "0", "--index", testing::smallGazetteerFile()});
    ASSERT_TRUE(server.waitFor("listening on")) << server.log();
    EXPECT_NE(server.log().find(std::to_string(testing::smallGazetteer().places().size()) + " places"), std::string::npos) << server.log();
    const int port = server.port();
    ASSERT_GT(port, 0);

    const auto r = testing::post(port, "/zentra/decode.php?address=Paris", "");
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "48.85341|2.34880|Paris%2C%20%C3%8Ele-de-France%2C%20France");
    EXPECT_TRUE(server.waitFor("\"POST /zentra/decode.php?address=Paris\" 200 ")) << server.log();
    // Control bytes in a target do not reach the log as they came.
    testing::get(port, "/x%0A?q=%1B[31m");
    EXPECT_TRUE(server.waitFor("\"GET /x%0A?q=%1B[31m\" 404")) << server.log();
    testing::exchange(port, std::string("GET /a\x1b[2J HTTP/1.1\r\nConnection: close\r\n\r\n"));
    EXPECT_TRUE(server.waitFor("/a\\x1b[2J")) << server.log();

    kill(server.pid(), SIGTERM);
    EXPECT_EQ(server.waitExit(), 0);
    EXPECT_NE(server.log().find("stopped"), std::string::npos) << server.log();
}

int tcpSocket(bool listening) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        (listening && listen(fd, 16) != 0)) {
        close(fd);
        return -1;
    }
    return fd;
}

int localPort(int fd) {
    sockaddr_in addr{};
    socklen_t length = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length);
    return ntohs(addr.sin_port);
}

TEST(ServerProcess, ServesOnASocketHandedOverByTheServiceManager) {
    const int listening = tcpSocket(true);
    ASSERT_GE(listening, 0);
    ServerProcess server({"--port", "9", "--index", testing::smallGazetteerFile()}, listening);
    ASSERT_TRUE(server.waitFor("listening on")) << server.log();
    const int port = localPort(listening);
    EXPECT_EQ(server.port(), port) << server.log();
    close(listening); // the server has its own copy
    const auto r = testing::get(port, "/healthz");
    EXPECT_EQ(r.status, 200);
    const std::string metrics = testing::get(port, "/metrics").body;
    EXPECT_NE(metrics.find("terrabo_index_places " + std::to_string(testing::smallGazetteer().places().size()) + "\n"), std::string::npos) << metrics;

    // A socket that does not listen is refused, not waited on.
    const int idle = tcpSocket(false);
    ServerProcess refused({"--index", testing::smallGazetteerFile()}, idle);
    EXPECT_EQ(refused.waitExit(), 1);
    EXPECT_NE(refused.log().find("does not listen"), std::string::npos) << refused.log();
    close(idle);
}

TEST(ServerProcess, RefusesToStartWithoutWhatItNeeds) {
    const struct {
        std::vector<std::string> args;
        int status;
        const char* says;
    } cases[] = {
        {{"--port", "70000"}, 2, "--port"},
        {{"--port"}, 2, "needs a value"},
        {{"--threads", "1"}, 2, "--threads"},
        {{"--bogus"}, 2, "unknown argument"},
        {{"--port", "0", "--index", "/nonexistent.idx"}, 1, "/nonexistent.idx"},
        {{"--port", "0", "--host", "256.1.1.1", "--index", testing::smallGazetteerFile()},
         1,
         "cannot listen"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.says);
        ServerProcess server(c.args);
        EXPECT_EQ(server.waitExit(), c.status);
        EXPECT_NE(server.log().find(c.says), std::string::npos) << server.log();
    }
}

} // namespace
} // namespace terrabo::server
