#include "automation/core/Json.h"
#include "Printers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace terrabo::automation {
namespace {

TEST(Json, PrintsOneLine) {
    struct Case {
        Json value;
        const char* text;
    };
    const Case cases[] = {
        {Json(), "null"},
        {Json(true), "true"},
        {Json(0), "0"},
        {Json(320), "320"},
        {Json(-5), "-5"},
        {Json(-0.0f), "0"},
        {Json(5.0f), "5"},
        {Json(0.8f), "0.800000012"},
        {Json(static_cast<float>(1 / 60.0)), "0.0166666675"},
        {Json(0.1), "0.1"},
        {Json(1 / 3.0), "0.3333333333333333"},
        {Json(std::nan("")), "null"},
        {Json(std::numeric_limits<float>::infinity()), "null"},
        {Json("a\"b\\c"), R"("a\"b\\c")"},
        {Json("line\nnext\ttab\x01"), R"("line\u000anext\u0009tab\u0001")"},
        {Json("Zürich 東京"), "\"Zürich 東京\""},
        {Json("bad \xC3 byte \xFF"), "\"bad \xEF\xBF\xBD byte \xEF\xBF\xBD\""},
        {Json::array(), "[]"},
        {Json::object(), "{}"},
        {Json::array({1, Json(2.5f), "x", Json()}), R"([1, 2.5, "x", null])"},
        {Json::object({{"b", 1}, {"a", Json::object({{"c", Json::array({false})}})}}),
         R"({"b": 1, "a": {"c": [false]}})"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.value.dump(), c.text);
}

TEST(Json, SetReplacesInPlaceAndKeepsOrder) {
    Json object;
    object.set("x", 1).set("y", 2).set("x", 3);
    EXPECT_EQ(object.dump(), R"({"x": 3, "y": 2})");

    Json number = 5;
    number.push("a");
    EXPECT_EQ(number.dump(), R"(["a"])");
}

TEST(Json, ParsesWhatItPrints) {
    const char* texts[] = {
        R"({"frame": 0, "screen": [320, 480], "label": null, "ok": true})",
        R"(["\u00e9\ud83d\ude00", "a\/b", -1.5e-3, 0, {"": []}])",
        "  7  ",
    };
    for (const char* text : texts) {
        std::optional<Json> value = Json::parse(text);
        ASSERT_TRUE(value) << text;
        EXPECT_EQ(Json::parse(value->dump()), value) << text;
    }
    EXPECT_EQ(Json::parse(R"("\u00e9\ud83d\ude00")")->asString(), "é😀");
    EXPECT_DOUBLE_EQ(Json::parse("-1.5e-3")->asNumber(), -0.0015);
}

TEST(Json, RejectsWhatIsNotJson) {
    const char* texts[] = {
        "",
        "hello",
        "'x'",
        "01",
        "1.",
        ".5",
        "+1",
        "1e",
        "1e999",
        "NaN",
        "[1,]",
        "[1 2]",
        "{\"a\" 1}",
        "{a: 1}",
        "\"abc",
        "\"\\x\"",
        "\"\\ud800\"",
        "\"\\u12\"",
        "\"tab\there\"",
        "true false",
        "nul",
    };
    for (const char* text : texts) {
        std::string error;
        EXPECT_FALSE(Json::parse(text, &error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(Json, DeepNestingIsAnErrorNotACrash) {
    const std::string deep(100000, '[');
    EXPECT_FALSE(Json::parse(deep));
}

TEST(Json, EqualityIgnoresKeyOrderButNotTypes) {
    EXPECT_EQ(Json::object({{"a", 1}, {"b", 2}}), Json::object({{"b", 2}, {"a", 1}}));
    EXPECT_NE(Json(1), Json(true));
    EXPECT_NE(Json(), Json(0));
    EXPECT_NE(Json::array({1}), Json::array({1, 1}));
}

} // namespace
} // namespace terrabo::automation
