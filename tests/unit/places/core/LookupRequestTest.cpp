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

} // namespace
} // namespace terrabo
