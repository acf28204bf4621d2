// The index built from the real data: the matches people expect, and no real
// place that the client would take for "not found".
#include "server/Gazetteer.h"
#include "server/LookupAnswer.h"
#include "server/PlaceQuery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>

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

double kilometres(double lat1, double lon1, double lat2, double lon2) {
    const double r = std::numbers::pi / 180;
    const double a = std::pow(std::sin((lat2 - lat1) * r / 2), 2) +
                     std::cos(lat1 * r) * std::cos(lat2 * r) * std::pow(std::sin((lon2 - lon1) * r / 2), 2);
    return 2 * 6371 * std::asin(std::sqrt(std::min(1.0, a)));
}

bool boxHolds(const BoundingBox& b, double lat, double lon) {
    if (lat < b.latMin || lat > b.latMax)
        return false;
    return b.crossesAntimeridian() ? lon >= b.lonMin || lon <= b.lonMax
                                   : lon >= b.lonMin && lon <= b.lonMax;
}

// The lookups of data/lookups.tsv, by category: what share each category
// finds, and how many answers are confidently wrong (found, but elsewhere).
TEST_F(RealGazetteer, FindsTheTablesOfPlacesFeaturesAirportsAndTypos) {
    const std::map<std::string, double> goals = {
        {"city", 0.95},   {"capital", 0.97}, {"country", 0.98}, {"region", 0.80},
        {"sea", 0.80},    {"peak", 0.70},    {"lake", 0.70},    {"island", 0.70},
        {"range", 0.70},  {"desert", 0.70},  {"river", 0.60},   {"airport", 0.85},
        {"typo", 0.50},   {"qualifier", 0.70}, {"nowhere", 1.0},
    };
    std::ifstream in(std::filesystem::path(__FILE__).parent_path() / "data" / "lookups.tsv");
    ASSERT_TRUE(in);
    struct Tally {
        int cases = 0, hits = 0, wrong = 0;
    };
    std::map<std::string, Tally> tally;
    int wrongTotal = 0;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string category, query, lat, lon, km;
        std::getline(fields, category, '\t');
        std::getline(fields, query, '\t');
        std::getline(fields, lat, '\t');
        std::getline(fields, lon, '\t');
        std::getline(fields, km, '\t');
        ASSERT_TRUE(goals.count(category)) << line;
        Tally& t = tally[category];
        ++t.cases;
        const auto found = findPlace(*gazetteer, query);
        bool hit;
        if (category == "nowhere") {
            hit = !found;
        } else {
            hit = found && (kilometres(found->lat, found->lon, std::stod(lat), std::stod(lon)) <=
                                std::stod(km) ||
                            (found->bbox && boxHolds(*found->bbox, std::stod(lat), std::stod(lon))));
        }
        if (hit) {
            ++t.hits;
        } else if (found) {
            ++t.wrong;
            ++wrongTotal;
        }
        if (!hit)
            std::printf("  missed %-10s %-34s -> %s\n", category.c_str(), query.c_str(),
                        found ? lookupAnswer(found).c_str() : "not found");
    }
    for (const auto& [category, t] : tally) {
        const double rate = static_cast<double>(t.hits) / t.cases;
        std::printf("%-10s %3d/%3d  %5.1f%%  %d confidently wrong\n", category.c_str(), t.hits,
                    t.cases, 100 * rate, t.wrong);
        EXPECT_GE(rate, goals.at(category)) << category;
    }
    std::printf("confidently wrong in all: %d\n", wrongTotal);
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
