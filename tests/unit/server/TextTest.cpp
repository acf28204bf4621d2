#include "server/HtmlText.h"
#include "server/PercentCoding.h"
#include "server/TextFold.h"
#include "server/Utf8.h"

#include <gtest/gtest.h>

namespace terrabo::server {
namespace {

TEST(FoldText, FoldsCaseAccentsLigaturesAndSpacing) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Paris", "paris"},
        {"São Paulo", "saopaulo"},
        {"Tromsø", "tromso"},
        {"Ærøskøbing", "aeroskobing"},
        {"Straße", "strasse"},
        {"Łódź", "lodz"},
        {"Œuvre", "oeuvre"},
        {"Þingvellir", "thingvellir"},
        {"Đà Nẵng", "danang"},
        {"Bucureşti", "bucuresti"}, // s with cedilla
        {"București", "bucuresti"}, // s with comma below
        {"Xi\u2019an", "xian"},     // curly apostrophe
        {"Saint-Étienne", "saintetienne"},
        {"St. John's", "stjohns"},
        {"Sana\u02BFa\u02BE", "sanaa"}, // modifier letters
        {"Zu\u0308rich", "zurich"},     // combining diaeresis
        {"New\u00A0York", "newyork"},   // no-break space
        {"МОСКВА", "москва"},
        {"Королёв", "королев"},
        {"ΑΘΉΝΑ", "αθηνα"},
        {"北京", "北京"},
        {"Route 66", "route66"},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const auto folded = foldText(c.in);
        ASSERT_TRUE(folded);
        EXPECT_EQ(*folded, c.out);
    }
}

TEST(FoldText, RejectsInvalidUtf8) {
    for (const char* bad : {"\xC3", "\x80", "a\xC3\x28", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80",
                            "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80", "\xFF"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(bad)));
        EXPECT_FALSE(foldText(bad));
        EXPECT_FALSE(isValidUtf8(bad));
    }
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x8C\x8D")); // globe emoji, four bytes
}

TEST(PercentDecode, DecodesStrictly) {
    const struct {
        const char* in;
        const char* out; // nullptr: rejected
    } cases[] = {
        {"New%20York", "New York"},
        {"New+York", "New York"},
        {"S%C3%A3o%20Paulo", "S\xC3\xA3o Paulo"},
        {"12.972,77.595", "12.972,77.595"},
        {"%2b%2B", "++"},
        {"", ""},
        {"100%", nullptr},
        {"%4", nullptr},
        {"%zz", nullptr},
        {"%%41", nullptr},
        {"%G0", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.in);
        const auto decoded = percentDecode(c.in);
        if (!c.out) {
            EXPECT_FALSE(decoded);
        } else {
            ASSERT_TRUE(decoded);
            EXPECT_EQ(*decoded, c.out);
        }
    }
    const auto nul = percentDecode("a%00b");
    ASSERT_TRUE(nul);
    EXPECT_EQ(*nul, std::string("a\0b", 3));
}

TEST(PercentEncodeDetails, NeverLeavesACapitalN) {
    EXPECT_EQ(percentEncodeDetails("New York, NY"), "%4Eew%20York%2C%20%4EY");
    EXPECT_EQ(percentEncodeDetails("São Paulo"), "S%C3%A3o%20Paulo");
    EXPECT_EQ(percentEncodeDetails("a|b"), "a%7Cb");
    EXPECT_EQ(percentEncodeDetails("nN-._~"), "n%4E-._~");
    // Round trip of every byte, and no capital N anywhere in the output.
    std::string all;
    for (int c = 0; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string encoded = percentEncodeDetails(all);
    EXPECT_EQ(encoded.find('N'), std::string::npos);
    EXPECT_EQ(percentDecode(encoded), all);
}

TEST(RequestTarget, QueryValuesAndPath) {
    const struct {
        const char* target;
        const char* name;
        const char* value; // nullptr: absent
    } cases[] = {
        {"/zentra/decode.php?address=Paris", "address", "Paris"},
        {"/maps?q=New%20York", "q", "New%20York"},
        {"/maps?x=1&q=a&q=b", "q", "a"},
        {"/maps?q=", "q", ""},
        {"/maps?q", "q", ""},
        {"/maps?q=a#frag", "q", "a"},
        {"/maps?qq=a", "q", nullptr},
        {"/maps", "q", nullptr},
        {"/maps?", "q", nullptr},
        {"/maps?a=1&&q=2", "q", "2"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        const auto value = rawQueryValue(c.target, c.name);
        if (!c.value) {
            EXPECT_FALSE(value);
        } else {
            ASSERT_TRUE(value);
            EXPECT_EQ(*value, c.value);
        }
    }
    EXPECT_EQ(targetPath("/maps?q=a"), "/maps");
    EXPECT_EQ(targetPath("/apps#x"), "/apps");
    EXPECT_EQ(targetPath("/apps"), "/apps");
}

TEST(EscapeHtml, EscapesMarkupAndQuotes) {
    EXPECT_EQ(escapeHtml("<script>alert('x')</script> & \"y\""),
              "&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; &quot;y&quot;");
}

} // namespace
} // namespace terrabo::server
