#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

namespace terrabo::server::testing {

// terrabo-server run as a child process, its standard error read through a
// pipe. `listening`, when given, is handed over as an open listening socket
// the way a service manager does it (descriptor 3, LISTEN_FDS, LISTEN_PID).
class ServerProcess {
  public:
    explicit ServerProcess(std::vector<std::string> args, int listening = -1);
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // Reads standard error until `text` shows up; everything read so far.
    bool waitFor(const std::string& text, double seconds = 10);
    int port() const;
    // The exit status, or -1 when it did not end in time.
    int waitExit(double seconds = 10);

    pid_t pid() const { return pid_; }
    const std::string& log() const { return stderr_; }

  private:
    pid_t pid_ = -1;
    int err_ = -1;
    bool exited_ = false;
    std::string stderr_;
};

// Resident memory of a process in kB, from /proc; 0 when unknown.
long residentKb(pid_t pid);

} // namespace terrabo::server::testing
