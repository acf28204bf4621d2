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

TEST_F(PlaceQueryTest, PrefixesOnlyOfWholeWordsAndWhenNothingMatchesExactly) {
    expectCases({
        {"Sankt", "Sankt Gallen"},
        {"Rio de", "Rio de Janeiro"},
        {"Sankt, Switzerland", "Sankt Gallen"},
        // Part of a word is a fragment, not a name: "Nile" is not "Niles".
        {"Lond", nullptr},
        {"Londonde", nullptr},
        {"Portl, Maine", nullptr},
        {"Nile", "Nile"},
        {"Nil", nullptr},
        // Three letters start too many names.
        {"Rio", nullptr},
        // "London" itself matches exactly, so the longer Londonderry is never picked.
        {"london", "London"},
    });
}

TEST_F(PlaceQueryTest, FeaturesRankWithPlacesByImportance) {
    expectCases({
        {"Sahara", "Sahara"},
        {"Texas", "Texas", "United States"},
        {"Texas, Mexico", "Texas", "Mexico"},
        {"Nile", "Nile"},
        {"Niles", "Niles"},
        {"Paris", "Paris", "France"},
    });
    const auto texas = findPlace(*gazetteer, "Texas");
    ASSERT_TRUE(texas);
    EXPECT_EQ(texas->placeKind, PlaceKind::Region);
}

TEST_F(PlaceQueryTest, GenericWordsFoldBothWays) {
    expectCases({
        {"Mount Everest", "Mt. Everest"},
        {"Mt Everest", "Mt. Everest"},
        {"mt. everest", "Mt. Everest"},
        {"Everest", "Mt. Everest"},
        {"Everest mountain", "Mt. Everest"},
        {"Lake Titicaca", "Lago Titicaca"},
        {"Titicaca", "Lago Titicaca"},
        {"Lake Baikal", "Lake Baikal"},
        {"Baikal", "Lake Baikal"},
        {"Bering", "Bering Sea"},
        {"Red Sea", "Red Sea"},
        // What is left of "Red Sea" says nothing on its own.
        {"Red", nullptr},
        // A generic word asks for its kind: Paris is no lake.
        {"Lake Paris", nullptr},
        {"Nile River", "Nile"},
    });
}

TEST_F(PlaceQueryTest, QualifiersWithoutAComma) {
    expectCases({
        {"Paris France", "Paris", "France"},
        {"Paris Texas", "Paris", "United States"},
        {"Paris TX", "Paris", "United States"},
        {"Portland Maine", "Portland", "", "Maine"},
        {"Portland ME", "Portland", "", "Maine"},
        {"london united kingdom", "London", "United Kingdom"},
        {"London Canada", "London", "Canada"},
        {"Springfield Illinois", "Springfield", "", "Illinois"},
        {"Springfield Massachusetts", "Springfield", "", "Massachusetts"},
        {"Rio de Janeiro Brazil", "Rio de Janeiro", "Brazil"},
        // The trailing words must name a country or region that has the place.
        {"Paris Narnia", nullptr},
        {"Springfield Texas", nullptr},
    });
}

TEST_F(PlaceQueryTest, CodesInCapitals) {
    expectCases({
        {"JFK", "John F. Kennedy International Airport", "United States"},
        {"KJFK", "John F. Kennedy International Airport"},
        {"TUR", "Türkiye"},
        {"US", "United States"},
        {"FR", "France"},
        // Lower case stays a name.
        {"us", "Us", "France"},
        {"jfk", nullptr},
    });
    const auto jfk = findPlace(*gazetteer, "JFK");
    ASSERT_TRUE(jfk);
    EXPECT_EQ(jfk->placeKind, PlaceKind::Airport);
}

TEST_F(PlaceQueryTest, TyposOnlyWhenNothingElseMatches) {
    expectCases({
        {"Pariss", "Paris", "France"},
        {"Londno", "London", "United Kingdom"},
        {"Lodnon", "London"},
        {"Bengalore", "Bengaluru"},     // an alternate name of a large place
        {"Sahra", "Sahara"},
        {"Sahr", nullptr},              // four letters: no typo allowed
        {"Germnay", "Germany"},         // countries too
        {"Portlandd", "Portland"},      // one edit below nine letters
        {"Londonderyy", "Londonderry"}, // two edits from nine
        {"Londxnderyyq", nullptr},      // three are too many
        {"Turkye", "Türkiye"},
        {"Xanadu", nullptr},
    });
}

TEST_F(PlaceQueryTest, CountriesByTheirOwnNamesFirst) {
    expectCases({
        {"Turkey", "Türkiye"},
        {"Türkei", "Türkiye"},
        {"Guyana", "Guyana"},
        {"Guyane", "French Guiana"},
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
