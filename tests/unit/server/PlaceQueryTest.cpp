#include "SmallGazetteer.h"

#include "server/PlaceQuery.h"

#include <gtest/gtest.h>

namespace terrabo::server {
namespace {

struct Case {
    const char* query;
    const char* name; // nullptr: not found
    const char* country = "";
    const char* region = "";
};

class PlaceQueryTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { gazetteer = new Gazetteer(testing::smallGazetteer()); }
    static void TearDownTestSuite() { delete gazetteer; }

    static void expectCases(const std::vector<Case>& cases) {
        for (const Case& c : cases) {
            SCOPED_TRACE(c.query);
            const auto found = findPlace(*gazetteer, c.query);
            if (!c.name) {
                EXPECT_FALSE(found) << "found " << found->name;
                continue;
            }
            ASSERT_TRUE(found);
            EXPECT_EQ(found->name, c.name);
            if (*c.country) {
                EXPECT_EQ(found->country, c.country);
            }
            if (*c.region) {
                EXPECT_EQ(found->region, c.region);
            }
        }
    }

    static Gazetteer* gazetteer;
};
Gazetteer* PlaceQueryTest::gazetteer = nullptr;

TEST_F(PlaceQueryTest, ExactNamesRankByPopulation) {
    expectCases({
        {"Paris", "Paris", "France"},
        {"London", "London", "United Kingdom", "England"},
        {"Portland", "Portland", "United States", "Oregon"},
        {"Lutetia", "Paris", "France"},
        {"Londres", "London", "United Kingdom"},
    });
}

TEST_F(PlaceQueryTest, CaseAccentsAndSpacingDoNotMatter) {
    expectCases({
        {"Tromso", "Tromsø"},
        {"TROMSØ", "Tromsø"},
        {"sao paulo", "São Paulo"},
        {"SaoPaulo", "São Paulo"},
        {"  são   paulo ", "São Paulo"},
        {"Zurich", "Zürich"},
        {"zürich", "Zürich"},
        {"Lodz", "Łódź"},
        {"aeroskobing", "Ærøskøbing"},
        {"St Gallen", "Sankt Gallen"},
        {"st.gallen", "Sankt Gallen"},
    });
}

TEST_F(PlaceQueryTest, AlternateNamesFindThePlaceButRankBelowOwnNames) {
    expectCases({
        {"Bangalore", "Bengaluru", "India"},
        {"München", "Munich", "Germany"},
        {"Muenchen", "Munich"},
        {"Cracow", "Kraków"},
        // Dayton lists "Venice" among its names and is larger than Venice.
        {"Venice", "Venice", "Italy"},
    });
}

TEST_F(PlaceQueryTest, QualifiersSelectCountryOrRegion) {
    expectCases({
        {"Paris, Texas", "Paris", "United States", "Texas"},
        {"Paris, France", "Paris", "France"},
        {"Paris, TX", "Paris", "United States"},
        {"Paris, USA", "Paris", "United States"},
        {"Paris, US", "Paris", "United States"},
        {"London, Canada", "London", "Canada", "Ontario"},
        {"London, Ontario", "London", "Canada"},
        {"London, UK", "London", "United Kingdom"},
        {"Portland, Oregon", "Portland", "", "Oregon"},
        {"Portland, Maine", "Portland", "", "Maine"},
        {"Portland, ME, USA", "Portland", "", "Maine"},
        {"Paris,texas", "Paris", "United States"},
        {"Paris, ", "Paris", "France"},
        {"Venice, Ohio", "Dayton"},
        {"Paris, Narnia", nullptr},
        {"Paris, Maine", nullptr},
    });
}

TEST_F(PlaceQueryTest, CountriesByNameAndCommonAlternatives) {
    expectCases({
        {"France", "France", "France"},
        {"république française", "France"},
        {"Deutschland", "Germany"},
        {"USA", "United States"},
        {"united states of america", "United States"},
        {"UK", "United Kingdom"},
        // Codes give way to places of that name, not to prefixes.
        {"DE", "Germany"},
        {"fra", "France"},
        {"Ita", "Itá", "Paraguay"},
        {"Italia", "Italy"},
    });
    const auto france = findPlace(*gazetteer, "France");
    ASSERT_TRUE(france);
    EXPECT_EQ(france->kind, FoundPlace::Kind::Country);
    EXPECT_DOUBLE_EQ(france->lat, 46);
    EXPECT_DOUBLE_EQ(france->lon, 2);
}

TEST_F(PlaceQueryTest, PrefixesOnlyWhenNothingMatchesExactly) {
    expectCases({
        {"Lond", "London", "United Kingdom"},
        {"Londonder", "Londonderry"},
        {"Portl", "Portland", "", "Oregon"},
        {"Portla, Ireland", "Portlaoise"},
        {"Portl, Maine", "Portland", "", "Maine"},
        {"Por, Maine", "Portland", "", "Maine"},
        {"Po, Maine", nullptr}, // too short to go through key by key
        // "London" itself matches exactly, so the longer Londonderry is never picked.
        {"london", "London"},
        {"Londx", nullptr},
    });
}

TEST_F(PlaceQueryTest, AnswersSayWhatKindAndHowLarge) {
    const auto lake = findPlace(*gazetteer, "Lake Baikal");
    ASSERT_TRUE(lake);
    EXPECT_EQ(lake->placeKind, PlaceKind::Lake);
    ASSERT_TRUE(lake->bbox);
    EXPECT_DOUBLE_EQ(lake->bbox->latMin, 51.4);
    EXPECT_DOUBLE_EQ(lake->bbox->latMax, 55.8);
    EXPECT_DOUBLE_EQ(lake->bbox->lonMin, 103.6);
    EXPECT_DOUBLE_EQ(lake->bbox->lonMax, 109.9);

    const auto sea = findPlace(*gazetteer, "Bering Sea");
    ASSERT_TRUE(sea && sea->bbox);
    EXPECT_TRUE(sea->bbox->crossesAntimeridian());
    EXPECT_NEAR(sea->bbox->lonSpan(), 40.6, 1e-9);

    const auto town = findPlace(*gazetteer, "Paris");
    ASSERT_TRUE(town);
    EXPECT_EQ(town->placeKind, PlaceKind::Settlement);
    EXPECT_FALSE(town->bbox);
    const auto country = findPlace(*gazetteer, "France");
    ASSERT_TRUE(country);
    EXPECT_EQ(country->placeKind, PlaceKind::Country);
}

TEST(Coordinates, AreReadAsLatitudeThenLongitude) {
    const struct {
        const char* text;
        bool ok;
        double lat, lon;
    } cases[] = {
        {"12.972,77.595", true, 12.972, 77.595},
        {"-33.250,151.500", true, -33.25, 151.5},
        {" 48.85 , 2.35 ", true, 48.85, 2.35},
        {"48.85 2.35", true, 48.85, 2.35},
        {"48.85;2.35", true, 48.85, 2.35},
        {"+10,-20", true, 10, -20},
        {"90,180", true, 90, 180},
        {".5,.5", true, 0.5, 0.5},
        {"12.972", false, 0, 0},
        {"12.972,", false, 0, 0},
        {"12.972,77.595,3", false, 0, 0},
        {"12.972,77.595x", false, 0, 0},
        {"nan,inf", false, 0, 0},
        {"1e5,2", false, 0, 0},
        {"Paris", false, 0, 0},
        {"-,5", false, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const auto parsed = parseCoordinates(c.text);
        ASSERT_EQ(parsed.has_value(), c.ok);
        if (c.ok) {
            EXPECT_DOUBLE_EQ(parsed->first, c.lat);
            EXPECT_DOUBLE_EQ(parsed->second, c.lon);
        }
    }
}

TEST_F(PlaceQueryTest, CoordinateTextsAnswerWithThemselves) {
    const auto found = findPlace(*gazetteer, "12.972,77.595");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->kind, FoundPlace::Kind::Coordinates);
    EXPECT_DOUBLE_EQ(found->lat, 12.972);
    EXPECT_DOUBLE_EQ(found->lon, 77.595);
    for (const char* offGlobe : {"91,0", "0,180.5", "-90.001,0"}) {
        SCOPED_TRACE(offGlobe);
        EXPECT_FALSE(findPlace(*gazetteer, offGlobe));
    }
}

TEST_F(PlaceQueryTest, NotFound) {
    expectCases({
        {"", nullptr},
        {"   ", nullptr},
        {",", nullptr},
        {", France", nullptr},
        {"...", nullptr},
        {"Xanadu", nullptr},
        {"Par\tis", "Paris"}, // a tab is a blank
    });
    const std::string nul("Par\0is", 6);
    const std::string invalid[] = {
        nul,
        "Par\x01is",
        "Paris\x7f",
        "\xC3",             // truncated
        "S\xC3\x28o Paulo", // bad continuation
        "\xC0\xAF",         // overlong slash
        "\xED\xA0\x80",     // surrogate
        "\xC2\x85Paris",    // C1 control
        std::string(kMaxQueryBytes + 1, 'a'),
    };
    for (const std::string& text : invalid) {
        SCOPED_TRACE(::testing::PrintToString(text));
        EXPECT_FALSE(findPlace(*gazetteer, text));
    }
    // Exactly at the limit is still a query.
    EXPECT_TRUE(findPlace(*gazetteer, "Paris" + std::string(kMaxQueryBytes - 5, ' ')));
}

} // namespace
} // namespace terrabo::server
