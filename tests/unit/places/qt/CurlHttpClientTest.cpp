#include "system/curl/CurlHttpClient.h"
#include "StubHttpServer.h"
#include "places/LookupRequest.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <chrono>

namespace terrabo {
namespace {

using test::StubHttpServer;
using namespace std::chrono_literals;

std::string response(const std::string& status, const std::string& body) {
    return "HTTP/1.1 " + status + "\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}

struct ReplyCase {
    const char* what;
    std::string reply;
    std::optional<std::string> answer;
};

class CurlReply : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(CurlReply, OnlyTheBodyOfASuccessIsAnAnswer) {
    const ReplyCase& c = GetParam();
    StubHttpServer server(StubHttpServer::Mode::Answer, c.reply);
    CurlHttpClient client(HttpLimits{2000ms, 3000ms, 64});
    EXPECT_EQ(client.post(server.base() + "/zentra/decode.php?address=x", "b"), c.answer) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CurlReply,
    ::testing::Values(
        ReplyCase{"found", response("200 OK", "48.85|2.35|Paris"), "48.85|2.35|Paris"},
        ReplyCase{"empty 200", response("200 OK", ""), ""},
        ReplyCase{"no content", response("204 No Content", ""), ""},
        ReplyCase{"server error page", response("500 Internal Server Error", "1|2|oops"),
                  std::nullopt},
        ReplyCase{"address too long", response("414 URI Too Long", "1|2|long"), std::nullopt},
        ReplyCase{"not found status", response("404 Not Found", ""), std::nullopt},
        ReplyCase{"redirect", response("302 Found", "1|2|moved"), std::nullopt},
        ReplyCase{"body at the limit", response("200 OK", std::string(64, 'x')),
                  std::string(64, 'x')},
        ReplyCase{"body cut short", "HTTP/1.1 200 OK\r\nContent-Length: 40\r\n\r\n1|2|",
                  std::nullopt},
        ReplyCase{"body over the limit", response("200 OK", std::string(65, 'x')), std::nullopt},
        ReplyCase{"not HTTP at all", "garbage\r\n\r\n", std::nullopt}));

TEST(CurlHttpClient, BodiesOverSixtyFourKibibytesAreNoAnswerByDefault) {
    const std::string big(64 * 1024 + 1, 'x');
    StubHttpServer server(StubHttpServer::Mode::Answer, response("200 OK", big));
    EXPECT_EQ(CurlHttpClient().post(server.base() + "/", "b"), std::nullopt);
    StubHttpServer fits(StubHttpServer::Mode::Answer, response("200 OK", big.substr(1)));
    EXPECT_EQ(CurlHttpClient().post(fits.base() + "/", "b"), big.substr(1));
}

TEST(CurlHttpClient, NoAnswerWhenTheServerHangsUpOrIsAbsent) {
    CurlHttpClient client(HttpLimits{2000ms, 3000ms});
    {
        StubHttpServer server(StubHttpServer::Mode::HangUp);
        EXPECT_EQ(client.post(server.base() + "/", "b"), std::nullopt);
    }
    const std::string refused = "http://127.0.0.1:" + std::to_string(test::closedPort()) + "/";
    EXPECT_EQ(client.post(refused, "b"), std::nullopt);
    EXPECT_EQ(client.post("http://host.invalid/", "b"), std::nullopt);
}

TEST(CurlHttpClient, ASilentServerTimesOut) {
    StubHttpServer server(StubHttpServer::Mode::Silent);
    CurlHttpClient client(HttpLimits{1000ms, 1000ms});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(client.post(server.base() + "/", "b"), std::nullopt);
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_GE(waited, 900ms);
    EXPECT_LT(waited, 3s);
}

TEST(CurlHttpClient, OnlyWebAddressesAreFetched) {
    QTemporaryDir dir;
    QFile file(dir.filePath("answer"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("1|2|local file");
    file.close();
    CurlHttpClient client;
    EXPECT_EQ(client.post("file://" + file.fileName().toStdString(), "b"), std::nullopt);
}

TEST(CurlHttpClient, HostilePlaceTextArrivesAsOneEscapedParameter) {
    StubHttpServer server(StubHttpServer::Mode::Answer, response("200 OK", "1|2|x"));
    CurlHttpClient client(HttpLimits{2000ms, 3000ms});
    const LookupRequest r = makeLookupRequest(server.base(), "a&b=c#d?e%f+g h/\xC3\xBC");
    ASSERT_EQ(client.post(r.url, r.body), "1|2|x");

    const std::string sent = server.lastRequest();
    EXPECT_EQ(sent.substr(0, sent.find("\r\n")),
              "POST /zentra/decode.php?address=a%26b%3Dc%23d%3Fe%25f%2Bg%20h%2F%C3%BC HTTP/1.1");
    EXPECT_EQ(sent.substr(sent.find("\r\n\r\n") + 4), r.url);
}

TEST(CurlHttpClient, LongBodyIsSentWithoutWaitingForContinue) {
    StubHttpServer server(StubHttpServer::Mode::Answer, response("200 OK", "1|2|x"));
    CurlHttpClient client(HttpLimits{2000ms, 3000ms});
    const LookupRequest r = makeLookupRequest(server.base(), std::string(3000, 'a'));
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(client.post(r.url, r.body), "1|2|x");
    EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
    EXPECT_EQ(server.lastRequest().find("Expect:"), std::string::npos);
    EXPECT_EQ(server.lastRequest().substr(server.lastRequest().find("\r\n\r\n") + 4), r.url);
}

} // namespace
} // namespace terrabo
