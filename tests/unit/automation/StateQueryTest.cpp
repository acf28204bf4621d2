#include "automation/core/StateQuery.h"
#include "Printers.h"

#include <gtest/gtest.h>

namespace terrabo::automation {
namespace {

Json sampleState() {
    return Json::object({
        {"frame", 3},
        {"world", Json::object({{"cam", Json::array({Json(0.0f), Json(0.0f), Json(4.8f)})},
                                {"xFactor", Json(0.8f)},
                                {"swipeR", true}})},
        {"alerts", Json::array({Json::object({{"title", "Sorry"}, {"message", "No network"}})})},
        {"label", Json()},
        {"log", Json::array({"i     1", "zoom in !!!!!"})},
        {"searchField", Json::object({{"text", "Zürich"}})},
    });
}

TEST(StateQuery, FollowsDottedPaths) {
    const Json state = sampleState();
    struct Case {
        const char* path;
        Json value;
    };
    const Case cases[] = {
        {"frame", 3},
        {"world.swipeR", true},
        {"world.cam.2", Json(4.8f)},
        {"alerts.0.message", "No network"},
        {"log.1", "zoom in !!!!!"},
        {"label", Json()},
        // Missing fields, and steps into nothing, compare as null.
        {"nothing", Json()},
        {"world.cam.3", Json()},
        {"world.cam.x", Json()},
        {"world.cam.-1", Json()},
        {"label.text", Json()},
        {"frame.0", Json()},
        {"alerts.0.message.length", Json()},
    };
    for (const Case& c : cases)
        EXPECT_EQ(valueAtPath(state, c.path), c.value) << c.path;
}

TEST(StateQuery, MatchesNumbersWithinTolerance) {
    struct Case {
        Json expected;
        Json actual;
        bool match;
    };
    const Case cases[] = {
        {0.8, Json(0.8f), true},
        {0.8, 0.80000001, true},
        {0.8, 0.8002, false},
        {5, Json(4.99995f), true},
        {-3, -3.0002, false},
        {Json::array({0, 0, 4.8}), Json::array({Json(0.0f), Json(0.0f), Json(4.8f)}), true},
        {Json::array({0, 0, 4.8}), Json::array({0, 0, 4.9}), false},
        {Json::array({0, 0}), Json::array({0, 0, 0}), false},
        {Json::object({{"a", 1.0}, {"b", "x"}}), Json::object({{"b", "x"}, {"a", 1.00001}}), true},
        {Json::object({{"a", 1}}), Json::object({{"a", 1}, {"b", 2}}), false},
        {Json::object({{"a", 1}}), Json::object({{"b", 1}}), false},
        {1, true, false},
        {0, Json(), false},
        {Json(), Json(), true},
        {"OK", "OK", true},
        {"OK", "ok", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jsonMatches(c.expected, c.actual), c.match)
            << c.expected.dump() << " vs " << c.actual.dump();
}

TEST(StateQuery, ContainsLooksIntoArraysAndStrings) {
    const Json log = Json::array({"i     1", "zoom in !!!!!", Json::array({1.0, 2.0})});
    EXPECT_TRUE(jsonContains(log, "zoom in !!!!!"));
    EXPECT_FALSE(jsonContains(log, "zoom in")); // elements match whole
    EXPECT_TRUE(jsonContains(log, Json::array({1.00001, 2})));
    EXPECT_TRUE(jsonContains(Json("http://host/maps?q=Paris"), "q=Paris"));
    EXPECT_FALSE(jsonContains(Json("Paris"), "paris"));
    EXPECT_FALSE(jsonContains(Json("12"), 1)); // a string holds only strings
    EXPECT_FALSE(jsonContains(Json(), "x"));
    EXPECT_FALSE(jsonContains(Json::array(), Json()));
}

TEST(StateQuery, LengthCountsElementsAndCodePoints) {
    EXPECT_EQ(jsonLength(Json::array({1, 2, 3})), 3u);
    EXPECT_EQ(jsonLength(Json("")), 0u);
    EXPECT_EQ(jsonLength(Json("Zürich")), 6u);
    EXPECT_EQ(jsonLength(Json("東京😀")), 3u);
    EXPECT_EQ(jsonLength(Json()), std::nullopt);
    EXPECT_EQ(jsonLength(Json::object({{"a", 1}})), std::nullopt);
}

} // namespace
} // namespace terrabo::automation
