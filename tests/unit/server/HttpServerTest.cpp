#include "RawHttp.h"
#include "SmallGazetteer.h"

#include "server/HttpServer.h"
#include "server/Service.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <vector>

namespace terrabo::server {
namespace {

using testing::Connection;
using testing::exchange;
using testing::get;
using testing::post;
using testing::Response;

class HttpServerTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        gazetteer = new Gazetteer(testing::smallGazetteer());
        service = new Service(*gazetteer);
        ServerSettings settings;
        settings.initialThreads = 2;
        settings.maxThreads = 256;
        settings.timeoutSeconds = 2;
        settings.logRequests = false;
        server = new HttpServer(*service, settings);
        port = server->bind("127.0.0.1", 0);
        ASSERT_GT(port, 0);
        runner = new std::thread([] { server->run(); });
    }
    static void TearDownTestSuite() {
        server->stop();
        runner->join();
        delete runner;
        delete server;
        delete service;
        delete gazetteer;
    }

    // Still up and answering after whatever the test did to it.
    static void expectStillAnswering() {
        const Response r = post(port, "/zentra/decode.php?address=Paris", "");
        EXPECT_EQ(r.status, 200);
        EXPECT_EQ(r.body, "48.85341|2.34880|Paris%2C%20%C3%8Ele-de-France%2C%20France");
    }

    static Gazetteer* gazetteer;
    static Service* service;
    static HttpServer* server;
    static std::thread* runner;
    static int port;
};
Gazetteer* HttpServerTest::gazetteer = nullptr;
Service* HttpServerTest::service = nullptr;
HttpServer* HttpServerTest::server = nullptr;
std::thread* HttpServerTest::runner = nullptr;
int HttpServerTest::port = 0;

TEST_F(HttpServerTest, EveryEndpoint) {
    const struct {
        const char* target;
        int status;
        const char* contentType;
        const char* bodyHas;
    } cases[] = {
        {"/zentra/decode.php?address=London%2C%20Canada", 200, "text/plain; charset=utf-8",
         "42.98339|-81.23304|London%2C%20Ontario%2C%20Canada"},
        {"/zentra/decode.php?address=Nowhere", 200, "text/plain", "N|N|N"},
        {"/maps?q=Sao%20Paulo", 200, "text/html; charset=utf-8", "<h1>São Paulo</h1>"},
        {"/maps?q=Nowhere", 200, "text/html", "Place not found"},
        {"/apps", 200, "text/html", "GeoNames"},
        {"/ads/banner?unit=abcdefghij12345", 200, "image/png", "\x89PNG"},
        {"/ads/banner?unit=short", 400, "text/plain", "15"},
        {"/index.html", 404, "text/plain", "not found"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const Response r = get(port, c.target);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.headers.find(std::string("Content-Type: ") + c.contentType), std::string::npos)
            << r.headers;
        EXPECT_NE(r.body.find(c.bodyHas), std::string::npos) << r.body.substr(0, 200);
    }
}

TEST_F(HttpServerTest, PostAsTheAppSendsIt) {
    // The app posts the whole address as the body, with no headers of its own.
    const std::string target = "/zentra/decode.php?address=Paris%2C%20Texas";
    const Response r = post(port, target, "http://127.0.0.1:8765" + target);
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "33.66094|-95.55551|Paris%2C%20Texas%2C%20United%20States");
}

TEST_F(HttpServerTest, BodyAnnouncedWithExpectIsAskedFor) {
    // Clients that announce a body wait for "100 Continue" before sending it.
    Connection c(port);
    ASSERT_TRUE(c.send("POST /zentra/decode.php?address=Paris HTTP/1.1\r\nHost: x\r\n"
                       "Expect: 100-continue\r\nContent-Length: 4\r\n\r\n"));
    EXPECT_TRUE(c.receiveSome(5).starts_with("HTTP/1.1 100 Continue\r\n"));
    ASSERT_TRUE(c.send("body"));
    std::string answer;
    while (!answer.ends_with("France")) {
        const std::string more = c.receiveSome(5);
        ASSERT_FALSE(more.empty()) << answer;
        answer += more;
    }
    EXPECT_TRUE(answer.starts_with("HTTP/1.1 200")) << answer;
}

TEST_F(HttpServerTest, KeepAliveServesManyRequestsOnOneConnection) {
    // As the app's client does it: one request after the other on one
    // connection, POSTs with a body among them.
    Connection c(port);
    for (int i = 0; i < 20; ++i) {
        const std::string body = "http://127.0.0.1/zentra/decode.php?address=London";
        const std::string request =
            i % 2 ? "GET /zentra/decode.php?address=London HTTP/1.1\r\nHost: x\r\n\r\n"
                  : "POST /zentra/decode.php?address=London HTTP/1.1\r\nHost: x\r\nContent-Length: " +
                        std::to_string(body.size()) + "\r\n\r\n" + body;
        ASSERT_TRUE(c.send(request));
        std::string answer;
        while (!answer.ends_with("51.50853|-0.12574|London%2C%20England%2C%20United%20Kingdom")) {
            const std::string more = c.receiveSome(2);
            ASSERT_FALSE(more.empty()) << "request " << i << " got " << answer;
            answer += more;
        }
        EXPECT_TRUE(answer.starts_with("HTTP/1.1 200")) << answer;
    }
}

// A refusal is a 4xx status, or the not-found answer.
bool refused(const Response& r) {
    return (r.status >= 400 && r.status < 500) || (r.status == 200 && r.body == "N|N|N");
}

TEST_F(HttpServerTest, BadRequestsAreRefused) {
    const std::string close = "Host: x\r\nConnection: close\r\n\r\n";
    const struct {
        const char* what;
        std::string request;
    } cases[] = {
        {"garbage", "GARBAGE\r\n\r\n"},
        {"unknown method", "BREW /apps HTTP/1.1\r\n" + close},
        {"no version", "GET /apps\r\n\r\n"},
        {"invalid escape", "GET /zentra/decode.php?address=%ZZ HTTP/1.1\r\n" + close},
        {"escape cut short", "GET /zentra/decode.php?address=Paris%2 HTTP/1.1\r\n" + close},
        {"encoded NUL", "GET /zentra/decode.php?address=Par%00is HTTP/1.1\r\n" + close},
        {"raw NUL", std::string("GET /zentra/decode.php?address=Par\0is HTTP/1.1\r\n", 48) + close},
        {"NUL in a header", std::string("GET /apps HTTP/1.1\r\nX-A: \0\r\n", 28) + close},
        {"invalid UTF-8", "GET /zentra/decode.php?address=%C3%28 HTTP/1.1\r\n" + close},
        {"query too long",
         "GET /zentra/decode.php?address=" + std::string(300, 'a') + " HTTP/1.1\r\n" + close},
        {"address too long",
         "GET /zentra/decode.php?address=" + std::string(10000, 'a') + " HTTP/1.1\r\n" + close},
        {"header too long",
         "GET /apps HTTP/1.1\r\nX-Long: " + std::string(10000, 'h') + "\r\n" + close},
        {"body too large",
         "POST /zentra/decode.php?address=Paris HTTP/1.1\r\nContent-Length: 1000000\r\n" + close +
             std::string(1000000, 'b')},
        {"bad chunk",
         "POST /zentra/decode.php?address=Paris HTTP/1.1\r\nTransfer-Encoding: chunked\r\n" +
             close + "ZZ\r\nbody\r\n0\r\n\r\n"},
        {"bad length",
         "POST /zentra/decode.php?address=Paris HTTP/1.1\r\nContent-Length: -5\r\n" + close},
        {"file by path", "GET /../../../etc/passwd HTTP/1.1\r\n" + close},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Response r = exchange(port, c.request);
        EXPECT_TRUE(refused(r)) << "status " << r.status << ": " << r.body.substr(0, 100);
    }
    expectStillAnswering();
}

TEST_F(HttpServerTest, TruncatedAndAbandonedRequestsDoNotHurt) {
    for (const std::string& part : {std::string("GET /zentra/decode.php?addr"),
                                    std::string("GET /apps HTTP/1.1\r\nHost: x\r\n"),
                                    std::string("POST /zentra/decode.php?address=Paris "
                                                "HTTP/1.1\r\nContent-Length: 100\r\n\r\nshort")}) {
        Connection c(port);
        ASSERT_TRUE(c.send(part));
    } // each closes here, mid-request
    // A client that sends a request and hangs up before the answer.
    for (int i = 0; i < 20; ++i) {
        Connection c(port);
        c.send("GET /maps?q=Paris HTTP/1.1\r\nHost: x\r\n\r\n");
    }
    expectStillAnswering();
}

TEST_F(HttpServerTest, FloodOfConnectionsLeavesRoomForOthers) {
    // Idle and half-sent connections hold threads while they wait; the pool
    // grows to its ceiling and answers the rest in the meantime.
    std::vector<Connection> idle;
    for (int i = 0; i < 150; ++i) {
        idle.emplace_back(port);
        if (i % 2)
            idle.back().send("GET /apps HTTP/1.1\r\n");
    }
    const auto start = std::chrono::steady_clock::now();
    expectStillAnswering();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));

    // A burst of complete requests at once, all answered.
    std::vector<Connection> burst;
    for (int i = 0; i < 200; ++i) {
        burst.emplace_back(port);
        burst.back().send("GET /zentra/decode.php?address=Portland HTTP/1.1\r\nHost: "
                          "x\r\nConnection: close\r\n\r\n");
    }
    int answered = 0;
    for (Connection& c : burst)
        answered += testing::parseResponse(c.receiveAll(10)).body.starts_with("45.52345|") ? 1 : 0;
    EXPECT_EQ(answered, 200);
    idle.clear();
    expectStillAnswering();
}

TEST_F(HttpServerTest, ParallelClientsGetTheirOwnAnswers) {
    const char* queries[] = {"Paris", "London", "Portland%2C%20Maine", "Bangalore"};
    const char* expected[] = {"48.85341|", "51.50853|", "43.66147|", "12.97194|"};
    std::vector<std::thread> clients;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 8; ++t) {
        clients.emplace_back([&, t] {
            for (int i = 0; i < 25; ++i) {
                const int q = (t + i) % 4;
                const Response r =
                    get(port, std::string("/zentra/decode.php?address=") + queries[q]);
                if (!r.body.starts_with(expected[q]))
                    ++wrong;
            }
        });
    }
    for (std::thread& t : clients)
        t.join();
    EXPECT_EQ(wrong, 0);
}

TEST_F(HttpServerTest, PipelinedRequestsAreAnsweredInOrder) {
    // Ten requests in one write, as a pipelining client sends them; a POST
    // with its body and a HEAD among them.
    const char* queries[] = {"Paris", "London", "Bangalore", "Portland", "Paris%2C%20Texas"};
    const char* expected[] = {"48.85341|", "51.50853|", "12.97194|", "45.52345|", "33.66094|"};
    std::string requests;
    for (int i = 0; i < 10; ++i) {
        const std::string target = std::string("/zentra/decode.php?address=") + queries[i % 5];
        if (i == 3)
            requests += "POST " + target + " HTTP/1.1\r\nHost: x\r\nContent-Length: 5\r\n\r\nhello";
        else if (i == 6)
            requests += "HEAD " + target + " HTTP/1.1\r\nHost: x\r\n\r\n";
        else
            requests += "GET " + target + " HTTP/1.1\r\nHost: x\r\n" +
                        (i == 9 ? "Connection: close\r\n" : "") + "\r\n";
    }
    Connection c(port);
    ASSERT_TRUE(c.send(requests));
    const std::string raw = c.receiveAll(10);

    size_t at = 0;
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const size_t headEnd = raw.find("\r\n\r\n", at);
        ASSERT_NE(headEnd, std::string::npos) << raw.substr(at);
        const std::string head = raw.substr(at, headEnd - at);
        EXPECT_TRUE(head.starts_with("HTTP/1.1 200")) << head;
        const size_t length = head.find("Content-Length: ");
        ASSERT_NE(length, std::string::npos) << head;
        const size_t bodySize = std::stoul(head.substr(length + 16));
        at = headEnd + 4;
        if (i == 6)
            continue; // the answer to HEAD has a length and no body
        EXPECT_TRUE(raw.substr(at, bodySize).starts_with(expected[i % 5]))
            << raw.substr(at, bodySize);
        at += bodySize;
    }
    EXPECT_EQ(at, raw.size()) << "more than ten answers: " << raw.substr(at);
}

// True when the server closes the connection within `seconds` while the
// client keeps doing `step` every 200 ms.
template <typename Step> bool closedByServer(Connection& c, double seconds, Step step) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!step())
            return true;
        pollfd p{c.fd(), POLLIN, 0};
        if (::poll(&p, 1, 200) > 0) {
            char buffer[4096];
            const ssize_t n = ::recv(c.fd(), buffer, sizeof buffer, 0);
            if (n <= 0)
                return true;
        }
    }
    return false;
}

TEST_F(HttpServerTest, ClientsThatTrickleOrIdleLoseTheirConnection) {
    // The fixture allows 2 s for a whole request, however steadily the bytes
    // come; these clients would go on far longer.
    const struct {
        const char* what;
        std::string start;
        std::string drip;
    } cases[] = {
        {"idle", "", ""},
        {"idle after an answer", "GET /apps HTTP/1.1\r\nHost: x\r\n\r\n", ""},
        {"header a byte at a time", "GET /apps HTTP/1.1\r\nX-Slow: ", "a"},
        {"body a byte at a time",
         "POST /zentra/decode.php?address=Paris HTTP/1.1\r\nContent-Length: 60000\r\n\r\n", "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Connection conn(port);
        ASSERT_TRUE(conn.send(c.start));
        EXPECT_TRUE(closedByServer(conn, 10, [&] { return c.drip.empty() || conn.send(c.drip); }));
    }
    expectStillAnswering();
}

TEST_F(HttpServerTest, HealthAndMetrics) {
    EXPECT_EQ(get(port, "/apps").status, 200);
    EXPECT_EQ(get(port, "/no/such/page").status, 404);

    const Response health = get(port, "/healthz");
    EXPECT_EQ(health.status, 200);
    EXPECT_EQ(health.body, "ok\n");
    EXPECT_EQ(post(port, "/healthz", "").status, 405);
    EXPECT_EQ(post(port, "/metrics", "").status, 405);

    const Response metrics = get(port, "/metrics");
    EXPECT_EQ(metrics.status, 200);
    EXPECT_NE(metrics.headers.find("Content-Type: text/plain; version=0.0.4"), std::string::npos);
    for (const char* line : {
             "terrabo_http_requests_total{route=\"/apps\",status=\"200\"} ",
             "terrabo_http_requests_total{route=\"other\",status=\"404\"} ",
             "terrabo_http_requests_total{route=\"/healthz\",status=\"405\"} ",
             "# TYPE terrabo_http_request_duration_seconds histogram",
             "terrabo_http_request_duration_seconds_bucket{le=\"+Inf\"} ",
             "terrabo_index_places ",
         })
        EXPECT_NE(metrics.body.find(line), std::string::npos) << line << "\n" << metrics.body;
}

TEST(HttpServer, ConnectionsBeyondTheLimitAreClosedAtOnce) {
    const Gazetteer g = testing::smallGazetteer();
    const Service service(g);
    ServerSettings settings;
    settings.logRequests = false;
    settings.maxConnections = 4;
    HttpServer server(service, settings);
    const int port = server.bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    std::thread runner([&] { server.run(); });

    std::vector<Connection> held;
    for (int i = 0; i < 4; ++i) {
        held.emplace_back(port);
        ASSERT_TRUE(held.back().send("GET /apps HTTP/1.1\r\nHost: x\r\n\r\n"));
        EXPECT_TRUE(held.back().receiveSome(5).starts_with("HTTP/1.1 200"));
    }
    Connection extra(port);
    EXPECT_TRUE(closedByServer(extra, 5, [] { return true; }));
    held.pop_back();
    // The count goes down as soon as a connection goes.
    bool answered = false;
    for (int i = 0; i < 50 && !answered; ++i) {
        answered = get(port, "/apps").status == 200;
        if (!answered)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_TRUE(answered);
    server.stop();
    runner.join();
}

TEST(HttpServer, StopBeforeRunReturnsAtOnce) {
    const Gazetteer g = testing::smallGazetteer();
    const Service service(g);
    ServerSettings settings;
    settings.logRequests = false;
    HttpServer server(service, settings);
    ASSERT_GT(server.bind("127.0.0.1", 0), 0);
    server.stop();
    EXPECT_TRUE(server.run());
}

TEST(HttpServer, BusyPortIsReported) {
    const Gazetteer g = testing::smallGazetteer();
    const Service service(g);
    ServerSettings settings;
    settings.logRequests = false;
    HttpServer first(service, settings);
    const int port = first.bind("127.0.0.1", 0);
    ASSERT_GT(port, 0);
    HttpServer second(service, settings);
    EXPECT_EQ(second.bind("127.0.0.1", port), -1);
    EXPECT_EQ(second.bind("not an address", 0), -1);
}

} // namespace
} // namespace terrabo::server
