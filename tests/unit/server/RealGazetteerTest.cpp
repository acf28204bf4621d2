// The index built from the real data: the matches people expect, and no real
// place that the client would take for "not found".
#include "server/Gazetteer.h"
#include "server/LookupAnswer.h"
#include "server/PlaceQuery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace terrabo::server {
namespace {

class RealGazetteer : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        std::string error;
        auto g = Gazetteer::load(TERRABO_GAZETTEER_INDEX, &error);
        if (g)
            gazetteer = new Gazetteer(std::move(*g));
        else
            loadError = error;
    }
    static void TearDownTestSuite() { delete gazetteer; }
    void SetUp() override { ASSERT_TRUE(gazetteer) << loadError; }

    static Gazetteer* gazetteer;
    static std::string loadError;
};
Gazetteer* RealGazetteer::gazetteer = nullptr;
std::string RealGazetteer::loadError;

TEST_F(RealGazetteer, FindsWhatPeopleMean) {
    const struct {
        const char* query;
        const char* name;
        const char* country;
        double lat, lon; // within half a degree
    } cases[] = {
        {"Paris", "Paris", "France", 48.85, 2.35},
        {"London", "London", "United Kingdom", 51.51, -0.13},
        {"Tromso", "Tromsø", "Norway", 69.65, 18.96},
        {"sao paulo", "São Paulo", "Brazil", -23.55, -46.64},
        {"Zurich", "Zürich", "Switzerland", 47.37, 8.55},
        {"Bangalore", "Bengaluru", "India", 12.97, 77.59},
        {"München", "Munich", "Germany", 48.14, 11.58},
        {"Paris, Texas", "Paris", "United States", 33.66, -95.56},
        {"London, Canada", "London", "Canada", 42.98, -81.23},
        {"Portland, Oregon", "Portland", "United States", 45.52, -122.68},
        {"New York", "New York City", "United States", 40.71, -74.01},
        {"Venice", "Venice", "Italy", 45.44, 12.33},
        {"France", "France", "France", 46, 2},
        {"Deutschland", "Germany", "Germany", 51, 9},
        {"USA", "United States", "United States", 38, -97},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.query);
        const auto found = findPlace(*gazetteer, c.query);
        ASSERT_TRUE(found);
        EXPECT_EQ(found->name, c.name);
        EXPECT_EQ(found->country, c.country);
        EXPECT_NEAR(found->lat, c.lat, 0.5);
        EXPECT_NEAR(found->lon, c.lon, 0.5);
    }
}

TEST_F(RealGazetteer, NoPlaceAnswersLikeNotFound) {
    for (uint32_t i = 0; i < gazetteer->places().size(); ++i) {
        const PlaceRecord& p = gazetteer->places()[i];
        FoundPlace f;
        f.name = gazetteer->text(p.name);
        if (p.region != kNoRegion)
            f.region = gazetteer->text(gazetteer->regions()[p.region].name);
        if (p.country != kNoCountry)
            f.country = gazetteer->text(gazetteer->countries()[p.country].name);
        f.lat = p.latE5 / 1e5;
        f.lon = p.lonE5 / 1e5;
        const std::string answer = lookupAnswer(f);
        ASSERT_EQ(answer.find('N'), std::string::npos) << answer;
        ASSERT_EQ(std::count(answer.begin(), answer.end(), '|'), 2) << answer;
    }
}

} // namespace
} // namespace terrabo::server
