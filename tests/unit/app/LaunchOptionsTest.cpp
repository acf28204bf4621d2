#include "app/LaunchOptions.h"

#include <gtest/gtest.h>

#include <vector>

namespace terrabo {
namespace {

struct Parse {
    bool ok;
    LaunchOptions options;
    std::string error;
};

Parse parse(std::vector<std::string> args) {
    args.insert(args.begin(), "terrabo");
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    Parse p;
    p.ok = parseLaunchOptions(static_cast<int>(argv.size()), argv.data(), p.options, p.error);
    return p;
}

TEST(LaunchOptions, DefaultsWithoutArguments) {
    const Parse p = parse({});
    ASSERT_TRUE(p.ok);
    EXPECT_FALSE(p.options.script);
    EXPECT_EQ(p.options.screenWidth, 320);
    EXPECT_EQ(p.options.screenHeight, 480);
    EXPECT_FALSE(p.options.model);
    EXPECT_FALSE(p.options.documents);
}

TEST(LaunchOptions, ReadsEveryOption) {
    const Parse p = parse({"--script", "-", "--screen", "320x568", "--model", "iPod touch",
                           "--system-version=3.1", "--documents", "/tmp/docs", "--lookup-base",
                           "http://127.0.0.1:8765", "--map-base=http://127.0.0.1:1", "--apps-url",
                           "https://example.test/apps", "--ads-base", "http://[::1]:9"});
    ASSERT_TRUE(p.ok) << p.error;
    EXPECT_EQ(p.options.script, "-");
    EXPECT_EQ(p.options.screenWidth, 320);
    EXPECT_EQ(p.options.screenHeight, 568);
    EXPECT_EQ(p.options.model, "iPod touch");
    EXPECT_EQ(p.options.systemVersion, "3.1");
    EXPECT_EQ(p.options.documents, "/tmp/docs");
    EXPECT_EQ(p.options.lookupBase, "http://127.0.0.1:8765");
    EXPECT_EQ(p.options.mapBase, "http://127.0.0.1:1");
    EXPECT_EQ(p.options.appsUrl, "https://example.test/apps");
    EXPECT_EQ(p.options.adsBase, "http://[::1]:9");
}

TEST(LaunchOptions, RejectsBadArguments) {
    struct Case {
        std::vector<std::string> args;
        const char* reason;
    };
    const Case cases[] = {
        {{"--screen", "0x10"}, "bad --screen '0x10'"},
        {{"--screen", "abc"}, "bad --screen 'abc'"},
        {{"--screen", "320"}, "bad --screen '320'"},
        {{"--screen", "320x"}, "bad --screen '320x'"},
        {{"--screen", "-320x480"}, "bad --screen"},
        {{"--screen", "320x480x2"}, "bad --screen"},
        {{"--screen", "99999x480"}, "bad --screen"},
        {{"--screen"}, "--screen needs a value"},
        {{"--documents", "--model", "x"}, "--documents needs a value"},
        {{"--model="}, "--model needs a value"},
        {{"--lookup-base", "localhost:8765"}, "bad --lookup-base 'localhost:8765'"},
        {{"--ads-base", "http://"}, "bad --ads-base"},
        {{"--map-base", "http://a b"}, "bad --map-base"},
        {{"--fullscreen"}, "unknown option '--fullscreen'"},
        {{"-platform", "xcb"}, "unknown option '-platform'"},
        {{"extra.script"}, "unexpected argument 'extra.script'"},
    };
    for (const Case& c : cases) {
        const Parse p = parse(c.args);
        EXPECT_FALSE(p.ok) << c.reason;
        EXPECT_NE(p.error.find(c.reason), std::string::npos) << p.error;
    }
}

TEST(LaunchOptions, KnowsTheScriptEvenWhenAnotherOptionIsBad) {
    Parse p = parse({"--screen", "abc", "--script", "run.script"});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.options.script, "run.script");
    p = parse({"--bogus", "--script=-"});
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.options.script, "-");
}

TEST(LaunchOptions, LastOfARepeatedOptionWins) {
    const Parse p = parse({"--screen", "320x480", "--screen", "768X1024"});
    ASSERT_TRUE(p.ok);
    EXPECT_EQ(p.options.screenWidth, 768);
    EXPECT_EQ(p.options.screenHeight, 1024);
}

} // namespace
} // namespace terrabo
