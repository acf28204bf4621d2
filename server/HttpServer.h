#pragma once

#include "server/Service.h"

#include <cstddef>
#include <memory>
#include <string>

namespace terrabo::server {

struct ServerSettings {
    size_t initialThreads = 8;
    size_t maxThreads = 512;
    size_t maxBodyBytes = 64 * 1024;
    int timeoutSeconds = 5; // reading a request, writing an answer, waiting on an idle connection
    bool logRequests = true;
};

// The HTTP side of terrabo-server. The only place that knows the HTTP
// library, which is heavy to compile.
class HttpServer {
  public:
    HttpServer(const Service& service, ServerSettings settings);
    ~HttpServer();
    HttpServer(const HttpServer&) = delete;
    HttpServer& operator=(const HttpServer&) = delete;

    // Binds the listening socket; port 0 takes a free one. Returns the port,
    // or -1 when the address cannot be had.
    int bind(const std::string& host, int port);
    // Serves until stop(); false when serving failed.
    bool run();
    // From any thread, also before run() has started.
    void stop();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

} // namespace terrabo::server
