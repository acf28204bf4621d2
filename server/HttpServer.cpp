// Beast speaks std::string_view, as the rest of the server does.
#define BOOST_BEAST_USE_STD_STRING_VIEW
#include "server/HttpServer.h"

#include "server/PercentCoding.h"
#include "server/RequestLog.h"
#include "server/WorkerPool.h"

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/string.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http/empty_body.hpp>
#include <boost/beast/http/read.hpp>
#include <boost/beast/http/string_body.hpp>
#include <boost/beast/http/write.hpp>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace terrabo::server {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;
using Clock = std::chrono::steady_clock;

namespace {

constexpr const char* kText = "text/plain; charset=utf-8";

bool hasControlBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\t') || b == 0x7F;
    });
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

// The methods HTTP/1.1 names; any other is a malformed request.
bool knownMethod(http::verb method) {
    switch (method) {
    case http::verb::get:
    case http::verb::head:
    case http::verb::post:
    case http::verb::put:
    case http::verb::delete_:
    case http::verb::connect:
    case http::verb::options:
    case http::verb::trace:
    case http::verb::patch:
        return true;
    default:
        return false;
    }
}

HttpReply errorReply(int status) {
    return {status, kText, "error " + std::to_string(status) + "\n"};
}

// Method and target from the raw request line, for the log of a request the
// parser turned away.
std::pair<std::string_view, std::string_view> rawRequestLine(std::string_view raw) {
    raw = raw.substr(0, std::min(raw.find('\n'), raw.size()));
    const size_t methodEnd = std::min(raw.find(' '), raw.size());
    std::string_view rest = raw.substr(methodEnd);
    rest.remove_prefix(std::min<size_t>(1, rest.size()));
    const size_t targetEnd = std::min(rest.find(' '), rest.size());
    return {raw.substr(0, methodEnd), rest.substr(0, targetEnd)};
}

struct ServerState {
    ServerState(const Service& s, ServerSettings set) : service(s), settings(set) {
        const size_t loopCount = std::clamp<size_t>(settings.initialThreads, 1,
                                                    std::max<size_t>(settings.maxThreads, 1));
        for (size_t i = 0; i < loopCount; ++i) {
            // One thread per loop: the loops need no locks of their own.
            loops.push_back(std::make_unique<asio::io_context>(1));
            guards.emplace_back(asio::make_work_guard(*loops.back()));
        }
        acceptor.emplace(*loops.front());
        retryTimer.emplace(*loops.front());
    }

    HttpReply answer(const http::request<http::string_body>& req) const;
    void acceptNext();
    void logRequest(const std::string& remote, std::string_view method, std::string_view target,
                    int status, size_t bytes, const char* took);

    const Service& service;
    const ServerSettings settings;
    // Declared before the loops: connections still open when the loops go
    // count themselves out here.
    Metrics metrics;
    std::unique_ptr<RequestLog> log;
    std::atomic<size_t> connections{0};
    std::atomic<bool> stopRequested{false};
    std::vector<std::unique_ptr<asio::io_context>> loops;
    std::vector<asio::executor_work_guard<asio::io_context::executor_type>> guards;
    std::optional<tcp::acceptor> acceptor;
    std::optional<tcp::socket> accepting;
    std::optional<asio::steady_timer> retryTimer;
    size_t nextLoop = 0;
};

// One client connection, living on one loop. Requests are read whole (head
// and body) under one deadline, so a client that trickles bytes loses its
// connection however often it sends; pipelined requests wait in the buffer
// and are answered in order.
class Connection : public std::enable_shared_from_this<Connection> {
  public:
    Connection(ServerState& server, tcp::socket socket)
        : server_(server), stream_(std::move(socket)),
          buffer_(server.settings.maxHeaderBytes + 4096) {
        server_.metrics.connectionOpened();
    }
    ~Connection() {
        server_.metrics.connectionClosed();
        --server_.connections;
    }

    void start() {
        beast::error_code ec;
        stream_.socket().set_option(tcp::no_delay(true), ec);
        if (server_.log) {
            const auto peer = stream_.socket().remote_endpoint(ec);
            remote_ = ec ? std::string("-") : peer.address().to_string();
        }
        readRequest();
    }

  private:
    void readRequest() {
        parser_.emplace();
        parser_->header_limit(static_cast<uint32_t>(server_.settings.maxHeaderBytes));
        parser_->body_limit(server_.settings.maxBodyBytes);
        stream_.expires_after(std::chrono::seconds(server_.settings.timeoutSeconds));
        http::async_read_header(
            stream_, buffer_, *parser_,
            [self = shared_from_this()](beast::error_code ec, size_t) { self->onHead(ec); });
    }

    // Requests without a body are complete here; a client that announced a
    // body with "Expect: 100-continue" is told to send it.
    void onHead(beast::error_code ec) {
        if (ec || parser_->is_done()) {
            onRead(ec);
            return;
        }
        if (beast::iequals(parser_->get()[http::field::expect], "100-continue")) {
            continue_ = {http::status::continue_, parser_->get().version()};
            http::async_write(stream_, continue_,
                              [self = shared_from_this()](beast::error_code writeEc, size_t) {
                                  if (!writeEc)
                                      self->readBody();
                              });
            return;
        }
        readBody();
    }

    void readBody() {
        http::async_read(
            stream_, buffer_, *parser_,
            [self = shared_from_this()](beast::error_code ec, size_t) { self->onRead(ec); });
    }

    void onRead(beast::error_code ec) {
        if (ec) {
            refuse(ec);
            return;
        }
        started_ = Clock::now();
        const auto& req = parser_->get();
        HttpReply reply = server_.answer(req);
        method_.assign(req.method_string());
        target_.assign(req.target());
        respond(std::move(reply), req.keep_alive() && !server_.stopRequested,
                req.method() == http::verb::head, req.version());
    }

    // A request the parser could not take: answered with its status when
    // it was malformed or too large, dropped in silence when the client
    // went away or ran out of time.
    void refuse(beast::error_code ec) {
        int status = 400;
        if (ec == http::error::header_limit || ec == http::error::buffer_overflow)
            status = 431;
        else if (ec == http::error::body_limit)
            status = 413;
        else if (ec == http::error::end_of_stream || ec == http::error::partial_message ||
                 ec == beast::error::timeout || ec == asio::error::operation_aborted ||
                 ec == asio::error::connection_reset || ec == asio::error::eof ||
                 ec == asio::error::broken_pipe)
            return;
        if (parser_->is_header_done()) {
            method_.assign(parser_->get().method_string());
            target_.assign(parser_->get().target());
        } else {
            const std::string_view raw(static_cast<const char*>(buffer_.data().data()),
                                       buffer_.size());
            const auto [method, target] = rawRequestLine(raw);
            method_.assign(method);
            target_.assign(target);
        }
        started_ = {};
        respond(errorReply(status), false, false, 11); // HTTP/1.1
    }

    void respond(HttpReply reply, bool keepAlive, bool head, unsigned version) {
        status_ = reply.status;
        bodyBytes_ = reply.body.size();
        response_ = {};
        response_.version(version);
        response_.result(static_cast<unsigned>(reply.status));
        response_.set(http::field::content_type, reply.contentType);
        response_.keep_alive(keepAlive);
        if (head) {
            response_.content_length(reply.body.size());
        } else {
            response_.body() = std::move(reply.body);
            response_.prepare_payload();
        }
        stream_.expires_after(std::chrono::seconds(server_.settings.timeoutSeconds));
        http::async_write(stream_, response_,
                          [self = shared_from_this(), keepAlive](beast::error_code ec, size_t) {
                              self->onWritten(ec, keepAlive);
                          });
    }

    void onWritten(beast::error_code ec, bool keepAlive) {
        const bool parsed = started_ != Clock::time_point();
        char took[32] = "-";
        if (parsed) {
            const std::chrono::duration<double> seconds = Clock::now() - started_;
            server_.metrics.record(targetPath(target_), status_, seconds.count());
            std::snprintf(took, sizeof took, "%.2fms", seconds.count() * 1000);
        } else {
            server_.metrics.record(targetPath(target_), status_, 0);
        }
        if (server_.log)
            server_.logRequest(remote_, method_, target_, status_, bodyBytes_, took);
        if (ec)
            return;
        if (keepAlive) {
            readRequest();
            return;
        }
        if (parsed) {
            stream_.socket().shutdown(tcp::socket::shutdown_send, ec);
            return;
        }
        lingerThenClose();
    }

    // After refusing a request that was not read to its end, the rest of it
    // is read and dropped for a while before closing: closing on unread bytes
    // would reset the connection and could take the refusal with it.
    void lingerThenClose() {
        beast::error_code ignored;
        stream_.socket().shutdown(tcp::socket::shutdown_send, ignored);
        stream_.expires_after(std::chrono::seconds(2));
        drained_ = 0;
        drainMore();
    }

    void drainMore() {
        static thread_local char discard[16384];
        stream_.async_read_some(asio::buffer(discard),
                                [self = shared_from_this()](beast::error_code ec, size_t n) {
                                    self->drained_ += n;
                                    if (!ec && self->drained_ < (4u << 20))
                                        self->drainMore();
                                });
    }

    ServerState& server_;
    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    http::response<http::string_body> response_;
    http::response<http::empty_body> continue_;
    std::string remote_;
    std::string method_;
    std::string target_;
    Clock::time_point started_;
    int status_ = 0;
    size_t bodyBytes_ = 0;
    size_t drained_ = 0;
};

HttpReply ServerState::answer(const http::request<http::string_body>& req) const {
    if (!knownMethod(req.method()))
        return errorReply(400);
    const std::string_view target = req.target();
    // Nothing legitimate sends control bytes, or lines this long.
    bool clean = !hasControlBytes(target);
    size_t fields = 0;
    for (const auto& field : req) {
        ++fields;
        if (field.name_string().size() + field.value().size() > settings.maxLineBytes)
            return errorReply(431);
        clean = clean && !hasControlBytes(field.name_string()) && !hasControlBytes(field.value());
    }
    if (fields > settings.maxHeaderFields)
        return errorReply(431);
    if (target.size() > settings.maxLineBytes)
        return errorReply(414);
    if (!clean)
        return {400, kText, "bad request\n"};

    const std::string_view path = targetPath(target);
    const std::string_view method = req.method_string();
    if (path == "/healthz" || path == "/metrics") {
        if (method != "GET" && method != "HEAD")
            return {405, kText, "method not allowed\n"};
        // The index is loaded before the server is made, so serving at all
        // means ready.
        if (path == "/healthz")
            return {200, kText, "ok\n"};
        return {200, "text/plain; version=0.0.4; charset=utf-8", metrics.render()};
    }
    try {
        return service.handle(method, target);
    } catch (const std::exception&) {
        return {500, kText, "internal error\n"};
    }
}

void ServerState::logRequest(const std::string& remote, std::string_view method,
                             std::string_view target, int status, size_t bytes, const char* took) {
    char line[1024];
    const int n = std::snprintf(line, sizeof line, "%s \"%s %s\" %d %zu %s\n",
                                printable(remote, 64).c_str(), printable(method, 16).c_str(),
                                printable(target, 600).c_str(), status, bytes, took);
    if (n > 0)
        log->add(std::string_view(line, std::min<size_t>(static_cast<size_t>(n), sizeof line - 1)));
}

void ServerState::acceptNext() {
    // The new connection's socket lives on the loop that will serve it.
    asio::io_context& loop = *loops[nextLoop++ % loops.size()];
    accepting.emplace(loop);
    acceptor->async_accept(*accepting, [this, &loop](beast::error_code ec) {
        if (!acceptor->is_open() || stopRequested)
            return;
        if (ec) {
            // Out of descriptors: wait for some to be given back instead of
            // spinning on the same error.
            retryTimer->expires_after(std::chrono::milliseconds(50));
            retryTimer->async_wait([this](beast::error_code waitEc) {
                if (!waitEc)
                    acceptNext();
            });
            return;
        }
        if (++connections > settings.maxConnections) {
            --connections;
            metrics.connectionRefused();
            accepting.reset();
        } else {
            asio::post(loop, [this, s = std::move(*accepting)]() mutable {
                std::make_shared<Connection>(*this, std::move(s))->start();
            });
        }
        acceptNext();
    });
}

} // namespace

struct HttpServer::Impl : ServerState {
    using ServerState::ServerState;
};

HttpServer::HttpServer(const Service& service, ServerSettings settings)
    : impl_(std::make_unique<Impl>(service, settings)) {
    if (settings.logRequests)
        impl_->log = std::make_unique<RequestLog>(STDERR_FILENO);
}

HttpServer::~HttpServer() {
    stop();
}

Metrics& HttpServer::metrics() {
    return impl_->metrics;
}

int HttpServer::bind(const std::string& host, int port) {
    beast::error_code ec;
    tcp::resolver resolver(*impl_->loops.front());
    const auto endpoints = resolver.resolve(
        host, std::to_string(port), tcp::resolver::passive | tcp::resolver::numeric_service, ec);
    if (ec)
        return -1;
    tcp::acceptor& acceptor = *impl_->acceptor;
    for (const auto& entry : endpoints) {
        acceptor.close(ec);
        acceptor.open(entry.endpoint().protocol(), ec);
        if (ec)
            continue;
        // SO_REUSEADDR only: SO_REUSEPORT would let a second server share the
        // port unnoticed.
        acceptor.set_option(tcp::acceptor::reuse_address(true), ec);
        acceptor.bind(entry.endpoint(), ec);
        if (!ec)
            acceptor.listen(SOMAXCONN, ec);
        if (!ec)
            return acceptor.local_endpoint().port();
    }
    acceptor.close(ec);
    return -1;
}

int HttpServer::adopt(int fd) {
    sockaddr_storage addr{};
    socklen_t length = sizeof addr;
    int listening = 0;
    socklen_t size = sizeof listening;
    if (::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &length) != 0 ||
        (addr.ss_family != AF_INET && addr.ss_family != AF_INET6) ||
        ::getsockopt(fd, SOL_SOCKET, SO_ACCEPTCONN, &listening, &size) != 0 || !listening)
        return -1;
    beast::error_code ec;
    tcp::acceptor& acceptor = *impl_->acceptor;
    acceptor.close(ec);
    acceptor.assign(addr.ss_family == AF_INET ? tcp::v4() : tcp::v6(), fd, ec);
    if (ec)
        return -1;
    return acceptor.local_endpoint(ec).port();
}

bool HttpServer::run() {
    Impl& impl = *impl_;
    if (impl.stopRequested)
        return true;
    if (!impl.acceptor->is_open())
        return false;
    asio::post(*impl.loops.front(), [&impl] { impl.acceptNext(); });
    {
        WorkerPool threads(impl.loops.size() - 1, impl.loops.size() - 1);
        for (size_t i = 1; i < impl.loops.size(); ++i)
            threads.submit([&impl, i] { impl.loops[i]->run(); });
        impl.loops.front()->run();
        for (auto& loop : impl.loops)
            loop->stop();
    } // the other loops' threads are joined here
    return true;
}

void HttpServer::stop() {
    impl_->stopRequested = true;
    for (auto& loop : impl_->loops)
        loop->stop();
}

} // namespace terrabo::server
