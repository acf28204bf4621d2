#include "server/Metrics.h"

#include <gtest/gtest.h>

namespace terrabo::server {
namespace {

bool has(const std::string& text, const std::string& line) {
    return text.find(line + "\n") != std::string::npos;
}

TEST(Metrics, CountsByRouteAndStatusWithACumulativeHistogram) {
    Metrics m;
    m.record("/zentra/decode.php", 200, 0.0002);
    m.record("/zentra/decode.php", 200, 0.003);
    m.record("/maps", 400, 0.02);
    // Paths and statuses outside the tables share one series each, so no
    // client can make the page grow.
    m.record("/wp-login.php", 404, 2.5);
    m.record("/x/../../etc", 404, 0);
    m.record("/apps", 302, 0.0001);
    m.setIndex(21, 4096, 0.0125);
    const std::string text = m.render();

    EXPECT_TRUE(
        has(text, R"(terrabo_http_requests_total{route="/zentra/decode.php",status="200"} 2)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_requests_total{route="/maps",status="400"} 1)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_requests_total{route="other",status="404"} 2)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_requests_total{route="/apps",status="other"} 1)"));
    EXPECT_EQ(text.find("route=\"/apps\",status=\"200\""), std::string::npos)
        << "zero series shown";

    // Each bucket counts everything at or below its bound.
    EXPECT_TRUE(has(text, R"(terrabo_http_request_duration_seconds_bucket{le="0.0001"} 2)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_request_duration_seconds_bucket{le="0.00025"} 3)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_request_duration_seconds_bucket{le="0.005"} 4)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_request_duration_seconds_bucket{le="0.025"} 5)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_request_duration_seconds_bucket{le="1"} 5)"));
    EXPECT_TRUE(has(text, R"(terrabo_http_request_duration_seconds_bucket{le="+Inf"} 6)"));
    EXPECT_TRUE(has(text, "terrabo_http_request_duration_seconds_count 6"));
    EXPECT_TRUE(has(text, "terrabo_http_request_duration_seconds_sum 2.523300"));

    EXPECT_TRUE(has(text, "terrabo_index_places 21"));
    EXPECT_TRUE(has(text, "terrabo_index_bytes 4096"));
    EXPECT_TRUE(has(text, "terrabo_index_load_seconds 0.012500"));
}

TEST(Metrics, OpenConnectionsGoUpAndDown) {
    Metrics m;
    m.connectionOpened();
    m.connectionOpened();
    m.connectionClosed();
    m.connectionRefused();
    const std::string text = m.render();
    EXPECT_TRUE(has(text, "terrabo_http_open_connections 1"));
    EXPECT_TRUE(has(text, "terrabo_http_refused_connections_total 1"));
}

} // namespace
} // namespace terrabo::server
