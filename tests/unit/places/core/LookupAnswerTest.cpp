#include "places/LookupAnswer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace terrabo {
namespace {

using namespace std::string_literals;

struct AnswerCase {
    const char* what;
    std::string answer;
    bool found;
    float lat = 0, lon = 0;
    std::string details = {};
};

class EvaluateAnswer : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(EvaluateAnswer, ReadsFieldsOrReportsNotFound) {
    const AnswerCase& c = GetParam();
    const auto place = evaluateAnswer(c.answer);
    ASSERT_EQ(place.has_value(), c.found) << c.what;
    if (!place)
        return;
    EXPECT_FLOAT_EQ(place->latitude, c.lat) << c.what;
    EXPECT_FLOAT_EQ(place->longitude, c.lon) << c.what;
    EXPECT_EQ(place->details, c.details) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, EvaluateAnswer,
    ::testing::Values(
        AnswerCase{"three fields", "48.8566|2.3522|Paris%2C%20France", true, 48.8566f, 2.3522f,
                   "Paris%2C%20France"},
        AnswerCase{"south and west", "-33.25|-70.5|Santiago", true, -33.25f, -70.5f, "Santiago"},
        AnswerCase{"fields after the third ignored", "1|2|three|N|more", true, 1, 2, "three"},
        AnswerCase{"empty details", "1|2|", true, 1, 2, ""},
        AnswerCase{"all fields empty", "||", true, 0, 0, ""},
        AnswerCase{"number followed by text", "12.5 deg|7abc|x", true, 12.5f, 7, "x"},
        AnswerCase{"letters without capital N read as 0", "abc|def|x", true, 0, 0, "x"},
        AnswerCase{"small n does not count", "1|2|nowhere", true, 1, 2, "nowhere"},
        AnswerCase{"not-found marker", "N|N|N", false},
        AnswerCase{"capital N in the details", "40.7|-74|New%20York", false},
        AnswerCase{"capital N in the latitude", "12N|3|x", false},
        AnswerCase{"capital N in the longitude", "1|3N|x", false},
        AnswerCase{"two fields", "1|2", false}, AnswerCase{"one field", "1", false},
        AnswerCase{"empty body", "", false},
        AnswerCase{"error page", "<html><body>502 Bad Gateway</body></html>", false},
        AnswerCase{"not UTF-8", "1|2|Z\xFCrich", false},
        AnswerCase{"damaged text", "1|2|Z\xEF\xBF\xBDrich", false},
        AnswerCase{"UTF-8 details", "47.37|8.54|Z\xC3\xBCrich", true, 47.37f, 8.54f,
                   "Z\xC3\xBCrich"}));

struct NumberCase {
    std::string field;
    float value;
};

class LeadingFloat : public ::testing::TestWithParam<NumberCase> {};

TEST_P(LeadingFloat, ReadsLikeCButIndependentOfLocale) {
    const NumberCase& c = GetParam();
    const float v = readLeadingFloat(c.field);
    EXPECT_TRUE(std::isfinite(v)) << c.field;
    EXPECT_FLOAT_EQ(v, c.value) << "field \"" << c.field << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Fields, LeadingFloat,
    ::testing::Values(NumberCase{"12.5", 12.5f}, NumberCase{" \t\n\v\f\r12.5", 12.5f},
                      NumberCase{"12.5abc", 12.5f}, NumberCase{"+7", 7},
                      NumberCase{"-7.25", -7.25f}, NumberCase{"+-7", 0}, NumberCase{"- 7", 0},
                      NumberCase{"", 0}, NumberCase{"abc", 0}, NumberCase{".", 0},
                      NumberCase{".5", 0.5f}, NumberCase{"5.", 5}, NumberCase{"1e3", 1000},
                      NumberCase{"1e", 1}, NumberCase{"1,5", 1}, NumberCase{"0x1A", 0},
                      NumberCase{"inf", 0}, NumberCase{"-infinity", 0}, NumberCase{"nan", 0},
                      NumberCase{"1e999", 0},
                      NumberCase{"\xE2\x88\x92"
                                 "5",
                                 0}));

struct DecodeCase {
    const char* what;
    std::string body;
    std::string text;
};

class DecodeAnswer : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeAnswer, KeepsGoodTextAndMarksTheRest) {
    const DecodeCase& c = GetParam();
    EXPECT_EQ(decodeAnswerText(c.body), c.text) << c.what;
}

const std::string R = "\xEF\xBF\xBD";
const std::string BOM = "\xEF\xBB\xBF";

INSTANTIATE_TEST_SUITE_P(
    Bodies, DecodeAnswer,
    ::testing::Values(DecodeCase{"ASCII", "1|2|Paris", "1|2|Paris"},
                      DecodeCase{"two-byte", "Z\xC3\xBCrich", "Z\xC3\xBCrich"},
                      DecodeCase{"four-byte", "\xF0\x9F\x8C\x8D", "\xF0\x9F\x8C\x8D"},
                      DecodeCase{"tab, line ends and DEL kept", "a\tb\r\nc\x7F", "a\tb\r\nc\x7F"},
                      DecodeCase{"stray byte",
                                 "a\xFF"
                                 "b",
                                 "a" + R + "b"},
                      DecodeCase{"truncated at the end", "a\xC3", "a" + R},
                      DecodeCase{"truncated before ASCII", "\xE2\x82x", R + "x"},
                      DecodeCase{"overlong slash", "\xC0\xAF", R + R},
                      DecodeCase{"surrogate", "\xED\xA0\x80", R + R + R},
                      DecodeCase{"beyond U+10FFFF", "\xF4\x90\x80\x80", R + R + R + R},
                      DecodeCase{"NUL and control bytes", "a\0b\x01"s, "a" + R + "b" + R},
                      DecodeCase{"noncharacter U+FFFF", "\xEF\xBF\xBF", R},
                      DecodeCase{"leading byte-order mark dropped", BOM + "48.85|2.35|Paris",
                                 "48.85|2.35|Paris"},
                      DecodeCase{"only the first of two", BOM + BOM + "1|2|x", BOM + "1|2|x"},
                      DecodeCase{"one inside is text", "1|2|a" + BOM, "1|2|a" + BOM}));

TEST(DecodeAnswer, AMarkedAnswerReadsLikeAnUnmarkedOne) {
    const auto place = evaluateAnswer(decodeAnswerText(BOM + "48.85|2.35|Paris"));
    ASSERT_TRUE(place);
    EXPECT_FLOAT_EQ(place->latitude, 48.85f);
    EXPECT_FLOAT_EQ(place->longitude, 2.35f);
}

TEST(DecodeAnswer, ADamagedAnswerStaysNotFoundOnceStored) {
    // The fresh answer and the stored one must give the same verdict.
    for (const std::string& body : {"1|2|Z\xFCrich"s, "1|2|a\0b"s, "1\xC3|2|x"s}) {
        EXPECT_FALSE(evaluateAnswer(decodeAnswerText(body))) << body;
        EXPECT_EQ(decodeAnswerText(decodeAnswerText(body)), decodeAnswerText(body));
    }
}

} // namespace
} // namespace terrabo
