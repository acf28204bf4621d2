#include "server/ServerOptions.h"

#include <gtest/gtest.h>

namespace terrabo::server {
namespace {

TEST(ServerOptions, ReadsEachOptionAndKeepsDefaults) {
    ServerOptions defaults;
    defaults.port = 8765;
    defaults.indexPath = "/default.idx";
    const auto none = parseServerOptions({}, defaults, nullptr);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->host, "127.0.0.1");
    EXPECT_EQ(none->port, 8765);
    EXPECT_EQ(none->indexPath, "/default.idx");

    const auto all = parseServerOptions(
        {"--host", "::1", "--port", "0", "--index", "/x.idx", "--threads", "16", "--quiet"},
        defaults, nullptr);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->host, "::1");
    EXPECT_EQ(all->port, 0);
    EXPECT_EQ(all->indexPath, "/x.idx");
    EXPECT_EQ(all->threads, 16);
    EXPECT_TRUE(all->quiet);
}

TEST(ServerOptions, RejectsWhatItCannotUse) {
    const std::vector<std::vector<std::string>> cases = {
        {"--port"},     {"--port", "-1"},   {"--port", "65536"},   {"--port", "80x"},
        {"--port", ""}, {"--threads", "1"}, {"--threads", "many"}, {"--host", ""},
        {"--verbose"},  {"8765"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(::testing::PrintToString(args));
        std::string error;
        EXPECT_FALSE(parseServerOptions(args, {}, &error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace
} // namespace terrabo::server
