#include "places/LookupRequest.h"

#include <gtest/gtest.h>

#include <cctype>

namespace terrabo {
namespace {

struct EscapeCase {
    std::string text;
    std::string escaped;
};

class EscapeQueryValue : public ::testing::TestWithParam<EscapeCase> {};

TEST_P(EscapeQueryValue, LeavesOnlyUnreservedCharacters) {
    EXPECT_EQ(escapeQueryValue(GetParam().text), GetParam().escaped);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EscapeQueryValue,
    ::testing::Values(EscapeCase{"Paris", "Paris"}, EscapeCase{"New York", "New%20York"},
                      EscapeCase{"a&b=c#d?e%f+g h/\xC3\xBC",
                                 "a%26b%3Dc%23d%3Fe%25f%2Bg%20h%2F%C3%BC"},
                      EscapeCase{"-._~09AZaz", "-._~09AZaz"},
                      EscapeCase{"\xE6\x97\xA5\xE6\x9C\xAC", "%E6%97%A5%E6%9C%AC"},
                      EscapeCase{"x\r\nHost: evil", "x%0D%0AHost%3A%20evil"},
                      EscapeCase{"%20", "%2520"}, EscapeCase{"", ""}));

int hexValue(char c) {
    return c <= '9' ? c - '0' : c - 'A' + 10;
}

TEST(EscapeQueryValue, EveryByteComesBackAndNoneIsLeftBare) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string escaped = escapeQueryValue(all);

    std::string decoded;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        const char c = escaped[i];
        if (c == '%') {
            ASSERT_LE(i + 2, escaped.size() - 1);
            decoded += static_cast<char>(hexValue(escaped[i + 1]) * 16 + hexValue(escaped[i + 2]));
            i += 2;
        } else {
            ASSERT_TRUE(std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '.' ||
                        c == '_' || c == '~')
                << "bare " << c;
            decoded += c;
        }
    }
    EXPECT_EQ(decoded, all);
}

TEST(LookupRequest, AddressIsBaseServicePathAndOneParameter) {
    for (const char* base : {"http://127.0.0.1:8765", "http://127.0.0.1:8765/"}) {
        const LookupRequest r = makeLookupRequest(base, "New York&x=1");
        EXPECT_EQ(r.url, "http://127.0.0.1:8765/zentra/decode.php?address=New%20York%26x%3D1");
        EXPECT_EQ(r.body, r.url);
    }
}

TEST(MapAddress, PlaceTextIsOneQueryValue) {
    const struct {
        const char* text;
        const char* query;
    } cases[] = {
        {"New York", "New%20York"},
        {"12.972,77.595", "12.972,77.595"},
        {"-33.250,151.500", "-33.250,151.500"},
        {"Bosnia & Herzegovina", "Bosnia%20%26%20Herzegovina"},
        {"C# #1", "C%23%20%231"},
        {"100% + more", "100%25%20%2B%20more"},
        {"a=b?c/d", "a%3Db%3Fc%2Fd"},
        {"tab\there\n", "tab%09here%0A"},
        {"S\xC3\xA3o Paulo", "S%C3%A3o%20Paulo"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(makeMapAddress("http://127.0.0.1:8765", c.text),
                  std::string("http://127.0.0.1:8765/maps?q=") + c.query)
            << c.text;
    EXPECT_EQ(makeMapAddress("http://h/", "x"), "http://h/maps?q=x");
}

} // namespace
} // namespace terrabo
