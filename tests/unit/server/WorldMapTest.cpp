// The build step that turns the data packages' JSON into the map.
#include "tools/gazetteer/WorldMap.h"
#include "tools/gazetteer/Json.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>

namespace terrabo::gazetteer {
namespace {

TEST(Json, ReadsWhatTheDataPackagesHold) {
    const auto json =
        parseJson(R"({"name": {"common": "S\u00e3o Tom\u00e9", "flag": "\ud83c\uddf8"},
                                   "latlng": [0.33, 6.73], "un": true, "x": null, "area": 964e0})");
    ASSERT_TRUE(json);
    EXPECT_EQ(textAt((*json)["name"], "common"), "São Tomé");
    EXPECT_EQ(textAt((*json)["name"], "flag"), "\xF0\x9F\x87\xB8");
    EXPECT_DOUBLE_EQ(numberAt((*json)["latlng"], 1), 6.73);
    EXPECT_EQ(numberAt((*json)["latlng"], 2, -1), -1);
    EXPECT_TRUE((*json)["un"].get<bool>());
    EXPECT_TRUE((*json)["x"].is_null());
    EXPECT_DOUBLE_EQ((*json)["area"].get<double>(), 964);
    EXPECT_EQ(textAt(*json, "missing"), "");
    EXPECT_EQ(textAt(*json, "area"), ""); // not a string
    EXPECT_FALSE(member((*json)["latlng"], "x"));

    for (const char* bad :
         {"", "{", "[1,]", "{\"a\" 1}", "\"\\x\"", "[1] 2", "tru", "\"\\ud83c\\u0041\""}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(parseJson(bad));
    }
    EXPECT_FALSE(parseJson(std::string(100, '[') + std::string(100, ']'))); // too deep
}

// Longitudes of consecutive points of the path, in degrees.
std::vector<double> longitudeSteps(const std::string& path) {
    std::vector<double> steps;
    const std::regex number("-?[0-9]+");
    std::vector<long> values;
    for (auto it = std::sregex_iterator(path.begin(), path.end(), number);
         it != std::sregex_iterator(); ++it)
        values.push_back(std::stol(it->str()));
    for (size_t i = 2; i < values.size(); i += 2)
        steps.push_back(values[i] / 10.0);
    return steps;
}

TEST(WorldMap, ShapesAcrossTheAntimeridianStayWhole) {
    // An island from 179 E to 179 W, and a ring around the south pole.
    const auto topology = parseJson(R"({
        "type": "Topology",
        "transform": {"scale": [1, 1], "translate": [-180, -90]},
        "arcs": [[[359, 100], [-358, 0], [0, 2], [358, 0], [0, -2]],
                 [[0, 20], [180, 0], [180, 0], [0, -20], [-360, 0], [0, 20]]],
        "objects": {"countries": {"type": "GeometryCollection", "geometries": [
            {"type": "Polygon", "arcs": [[0]]},
            {"type": "MultiPolygon", "arcs": [[[1]]]}]}}})");
    ASSERT_TRUE(topology);
    const auto path = countriesPath(*topology, 1);
    ASSERT_TRUE(path);
    const size_t second = path->find('M', 1);
    ASSERT_NE(second, std::string::npos);
    // The island: no step of half the world, and it reaches past 180.
    const std::string island = path->substr(0, second);
    for (const double step : longitudeSteps(island))
        EXPECT_LT(std::abs(step), 180) << island;
    EXPECT_EQ(island.find("M1790"), 0u) << island;
    EXPECT_NE(island.find("l20 0"), std::string::npos) << island; // on to 181, not back to -179
    // The polar ring keeps its span of the whole world.
    const std::string polar = path->substr(second);
    EXPECT_NE(polar.find("M-1800 "), std::string::npos) << polar;
    EXPECT_NE(polar.find("3600"), std::string::npos) << polar;
}

TEST(WorldMap, RefusesWhatIsNotATopology) {
    for (const char* text :
         {R"({"objects": {}})", R"({"arcs": [], "transform": {"scale": [1, 1]}})",
          R"({"arcs": [[[0, 0]]], "transform": {"scale": [1, 1], "translate": [0, 0]},
                                 "objects": {"countries": {"geometries": [{"type": "Polygon", "arcs": [[5]]}]}}})"}) {
        SCOPED_TRACE(text);
        const auto json = parseJson(text);
        ASSERT_TRUE(json);
        EXPECT_FALSE(countriesPath(*json, 1));
    }
}

} // namespace
} // namespace terrabo::gazetteer
