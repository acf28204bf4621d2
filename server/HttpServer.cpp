#include "server/HttpServer.h"

#include "server/RequestLog.h"
#include "server/WorkerPool.h"

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace terrabo::server {
namespace {

// The library listens with a backlog of 5, which drops connections when many
// clients arrive at once; the kernel takes a new backlog on the same socket.
class ListeningServer : public httplib::Server {
  public:
    void widenBacklog() {
        const socket_t sock = svr_sock_;
        if (sock != INVALID_SOCKET)
            ::listen(sock, SOMAXCONN);
    }
    void shutdownListener() {
        const socket_t sock = svr_sock_;
        if (sock != INVALID_SOCKET)
            ::shutdown(sock, SHUT_RDWR);
    }
};

class PoolQueue : public httplib::TaskQueue {
  public:
    PoolQueue(size_t initial, size_t max) : pool_(initial, max) {}
    void enqueue(std::function<void()> fn) override { pool_.submit(std::move(fn)); }
    void shutdown() override { pool_.shutdown(); }

  private:
    WorkerPool pool_;
};

thread_local std::chrono::steady_clock::time_point requestStart;

bool hasControlBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\t') || b == 0x7F;
    });
}

// The library lets NUL and other control bytes through in the target and in
// header values; nothing legitimate sends them.
bool cleanRequest(const httplib::Request& req) {
    if (hasControlBytes(req.target))
        return false;
    for (const auto& [name, value] : req.headers)
        if (hasControlBytes(name) || hasControlBytes(value))
            return false;
    return true;
}

// Request targets come from anyone: no control bytes reach the log.
std::string printable(std::string_view text, size_t limit) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < text.size() && i < limit; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c > 0x20 && c < 0x7F && c != '\\' && c != '"') {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        }
    }
    if (text.size() > limit)
        out += "...";
    return out;
}

void logRequest(RequestLog& log, const httplib::Request& req, const httplib::Response& res) {
    // Requests the library turned away never reached the handler's clock.
    char took[32] = "-";
    if (requestStart != std::chrono::steady_clock::time_point()) {
        const std::chrono::duration<double, std::milli> ms =
            std::chrono::steady_clock::now() - requestStart;
        std::snprintf(took, sizeof took, "%.2fms", ms.count());
        requestStart = {};
    }
    char line[1024];
    const int n =
        std::snprintf(line, sizeof line, "%s \"%s %s\" %d %zu %s\n",
                      printable(req.remote_addr, 64).c_str(), printable(req.method, 16).c_str(),
                      printable(req.target, 600).c_str(), res.status, res.body.size(), took);
    if (n > 0)
        log.add(std::string_view(line, std::min<size_t>(static_cast<size_t>(n), sizeof line - 1)));
}

} // namespace

struct HttpServer::Impl {
    const Service& service;
    ServerSettings settings;
    std::unique_ptr<RequestLog> log; // outlives the HTTP side, which logs to it
    ListeningServer http;
    std::atomic<bool> stopRequested{false};
};

HttpServer::HttpServer(const Service& service, ServerSettings settings)
    : impl_(new Impl{service, settings, nullptr, {}, {}}) {
    ListeningServer& http = impl_->http;
    const ServerSettings s = settings;
    http.new_task_queue = [s] { return new PoolQueue(s.initialThreads, s.maxThreads); };
    http.set_tcp_nodelay(true);
    http.set_keep_alive_max_count(1000);
    http.set_keep_alive_timeout(s.timeoutSeconds);
    http.set_read_timeout(s.timeoutSeconds, 0);
    http.set_write_timeout(s.timeoutSeconds, 0);
    http.set_payload_max_length(s.maxBodyBytes);

    // Requests without a body are answered here, before the library's own
    // routing: no pattern matching per request, and no file is ever served
    // by path. Those with a body take the routed way, where the library reads
    // (and limits) the body first; answered early, its bytes would be taken
    // for the next request on the connection.
    const Service* svc = &service;
    const auto answer = [svc](const httplib::Request& req, httplib::Response& res) {
        requestStart = std::chrono::steady_clock::now();
        if (!cleanRequest(req)) {
            res.status = 400;
            res.set_content("bad request\n", "text/plain; charset=utf-8");
            return;
        }
        HttpReply reply = svc->handle(req.method, req.target);
        res.status = reply.status;
        res.set_content(std::move(reply.body), reply.contentType.c_str());
    };
    http.set_pre_routing_handler([answer](const httplib::Request& req, httplib::Response& res) {
        if (req.has_header("Content-Length") || req.has_header("Transfer-Encoding"))
            return httplib::Server::HandlerResponse::Unhandled;
        answer(req, res);
        return httplib::Server::HandlerResponse::Handled;
    });
    http.Get(".*", answer);
    http.Post(".*", answer);
    http.Put(".*", answer);
    http.Patch(".*", answer);
    http.Delete(".*", answer);
    http.Options(".*", answer);
    // The library's default also sets SO_REUSEPORT, which would let a second
    // server share the port unnoticed.
    http.set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    // Errors the library finds itself (bad request line, too large) get a
    // short text, ours keep theirs.
    http.set_error_handler(httplib::Server::HandlerWithResponse([](const httplib::Request&,
                                                                   httplib::Response& res) {
        if (!res.body.empty())
            return httplib::Server::HandlerResponse::Unhandled;
        res.set_content("error " + std::to_string(res.status) + "\n", "text/plain; charset=utf-8");
        return httplib::Server::HandlerResponse::Handled;
    }));
    http.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
            res.status = 500;
            res.set_content("internal error\n", "text/plain; charset=utf-8");
        });
    if (s.logRequests) {
        impl_->log = std::make_unique<RequestLog>(STDERR_FILENO);
        RequestLog* log = impl_->log.get();
        http.set_logger([log](const httplib::Request& req, const httplib::Response& res) {
            logRequest(*log, req, res);
        });
    }
}

HttpServer::~HttpServer() = default;

int HttpServer::bind(const std::string& host, int port) {
    ListeningServer& http = impl_->http;
    int bound = -1;
    if (port == 0)
        bound = http.bind_to_any_port(host);
    else if (http.bind_to_port(host, port))
        bound = port;
    if (bound > 0)
        http.widenBacklog();
    return bound > 0 ? bound : -1;
}

bool HttpServer::run() {
    if (impl_->stopRequested)
        return true;
    const bool ok = impl_->http.listen_after_bind();
    // A listener shut down by stop() ends the loop like a failure would.
    return ok || impl_->stopRequested;
}

void HttpServer::stop() {
    impl_->stopRequested = true;
    impl_->http.stop();
    // Wakes the accept loop even if it had not marked itself running yet.
    impl_->http.shutdownListener();
}

} // namespace terrabo::server
