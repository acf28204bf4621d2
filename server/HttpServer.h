#pragma once

#include "server/Metrics.h"
#include "server/Service.h"

#include <cstddef>
#include <memory>
#include <string>

namespace terrabo::server {

struct ServerSettings {
    size_t initialThreads = 2; // event loops, each on a thread of its own
    size_t maxThreads = 512;   // ceiling for the above
    size_t maxBodyBytes = 64 * 1024;
    size_t maxHeaderBytes = 16 * 1024; // request line and all header lines together
    size_t maxLineBytes = 8 * 1024;    // the target, and each header line
    size_t maxHeaderFields = 100;
    size_t maxConnections = 20000; // more are closed at once
    // Whole-request limit: from the first byte awaited to the last one read,
    // and again for writing the answer. Also how long an idle connection stays.
    int timeoutSeconds = 5;
    bool logRequests = true;
};

// The HTTP side of terrabo-server. The only place that knows the HTTP
// library, which is heavy to compile. Besides the service's routes it
// answers /healthz and /metrics.
class HttpServer {
  public:
    HttpServer(const Service& service, ServerSettings settings);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds the listening socket; port 0 takes a free one. Returns the port,
    // or -1 when the address cannot be had.
    int bind(const std::string& host, int port);
    // Takes a socket that already listens (handed over by the service
    // manager). Returns its port, or -1 when it is not a listening TCP socket.
    int adopt(int fd);
    // Serves until stop(); false when serving failed.
    bool run();
    // From any thread, also before run() has started.
    void stop();

    // For the metrics page: filled in before run().
    Metrics& metrics();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace terrabo::server
