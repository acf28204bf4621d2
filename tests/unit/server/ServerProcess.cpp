#include "ServerProcess.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

namespace terrabo::server::testing {

ServerProcess::ServerProcess(std::vector<std::string> args, int listening) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0)
        return;
    pid_ = fork();
    if (pid_ == 0) {
        dup2(pipeFds[1], STDERR_FILENO);
        if (listening >= 0) {
            if (listening == 3)
                fcntl(3, F_SETFD, 0);
            else
                dup2(listening, 3); // the copy is not closed on exec
            setenv("LISTEN_FDS", "1", 1);
            setenv("LISTEN_PID", std::to_string(getpid()).c_str(), 1);
        }
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

ServerProcess::~ServerProcess() {
    if (pid_ > 0 && !exited_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (err_ >= 0)
        ::close(err_);
}

bool ServerProcess::waitFor(const std::string& text, double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
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

int ServerProcess::port() const {
    const std::string marker = "listening on http://127.0.0.1:";
    const size_t at = stderr_.find(marker);
    return at == std::string::npos ? 0 : std::atoi(stderr_.c_str() + at + marker.size());
}

int ServerProcess::waitExit(double seconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
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

long residentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kb = 0;
            status >> kb;
            return kb;
        }
    }
    return 0;
}

} // namespace terrabo::server::testing
