// The terrabo-server program itself: options, start-up, one log line per
// request, and a clean stop on SIGTERM.
#include "RawHttp.h"
#include "SmallGazetteer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace terrabo::server {
namespace {

class ServerProcess {
  public:
    explicit ServerProcess(std::vector<std::string> args) {
        int pipeFds[2];
        if (pipe2(pipeFds, O_CLOEXEC) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            dup2(pipeFds[1], STDERR_FILENO);
            std::vector<char*> argv;
            static std::string exe = TERRABO_SERVER_EXE;
            argv.push_back(exe.data());
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(exe.c_str(), argv.data());
            _exit(127);
        }
        ::close(pipeFds[1]);
        err_ = pipeFds[0];
    }
    ~ServerProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (err_ >= 0)
            ::close(err_);
    }

    // Reads standard error until `text` shows up; everything read so far.
    bool waitFor(const std::string& text, double seconds = 10) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (stderr_.find(text) == std::string::npos) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{err_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return false;
            char buffer[4096];
            const ssize_t n = read(err_, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            stderr_.append(buffer, static_cast<size_t>(n));
        }
        return true;
    }

    int port() const {
        const std::string marker = "listening on http://127.0.0.1:";
        const size_t at = stderr_.find(marker);
        return at == std::string::npos ? 0 : std::atoi(stderr_.c_str() + at + marker.size());
    }

    // The exit status, or -1 when it did not end in time.
    int waitExit(double seconds = 10) {
        const auto deadline =
            std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                waitFor("\x01", 0.2); // drain what is left
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            usleep(20000);
        }
        return -1;
    }

    pid_t pid() const { return pid_; }
    const std::string& log() const { return stderr_; }

  private:
    pid_t pid_ = -1;
    int err_ = -1;
    bool exited_ = false;
    std::string stderr_;
};

TEST(ServerProcess, ServesLogsAndStopsCleanlyOnSigterm) {
    ServerProcess server({"--port", "0", "--index", testing::smallGazetteerFile()});
    ASSERT_TRUE(server.waitFor("listening on")) << server.log();
    EXPECT_NE(server.log().find("21 places"), std::string::npos) << server.log();
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
