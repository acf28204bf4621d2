#include "server/LookupAnswer.h"
#include "server/PercentCoding.h"

#include <gtest/gtest.h>

namespace terrabo::server {
namespace {

// The client's reading of an answer: split on '|', not found when any of the
// first three fields holds a capital N.
bool clientSaysNotFound(const std::string& answer) {
    size_t start = 0;
    for (int field = 0; field < 3; ++field) {
        const size_t bar = answer.find('|', start);
        if (answer.substr(start, bar - start).find('N') != std::string::npos)
            return true;
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return false;
}

FoundPlace place(std::string name, std::string region, std::string country, double lat,
                 double lon, PlaceKind kind = PlaceKind::Settlement) {
    FoundPlace p;
    p.placeKind = kind;
    p.name = std::move(name);
    p.region = std::move(region);
    p.country = std::move(country);
    p.lat = lat;
    p.lon = lon;
    return p;
}

TEST(LookupAnswer, FormatsLatitudeLongitudeAndEncodedDetails) {
    const struct {
        FoundPlace place;
        const char* answer;
    } cases[] = {
        {place("Paris", "Île-de-France", "France", 48.85341, 2.3488),
         "48.85341|2.34880|Paris%2C%20%C3%8Ele-de-France%2C%20France"},
        {place("New York City", "New York", "United States", 40.71427, -74.00597),
         "40.71427|-74.00597|%4Eew%20York%20City%2C%20%4Eew%20York%2C%20United%20States"},
        {place("Singapore", "Singapore", "Singapore", 1.28967, 103.85007),
         "1.28967|103.85007|Singapore"},
        {place("Hanoi", "", "Vietnam", 21.0245, 105.84117),
         "21.02450|105.84117|Hanoi%2C%20Vietnam"},
        {place("Null Island", "", "", -0.000001, 0.000001), "0.00000|0.00000|%4Eull%20Island"},
        {place("A|B", "", "", 1, 2), "1.00000|2.00000|A%7CB"},
        {place("Lake Baikal", "", "Russia", 53.5, 108.2, PlaceKind::Lake),
         "53.50000|108.20000|Lake%20Baikal%2C%20lake%2C%20Russia"},
        {place("Mediterranean Sea", "", "", 38, 17, PlaceKind::Sea),
         "38.00000|17.00000|Mediterranean%20Sea%2C%20sea"},
        {place("Texas", "", "United States", 31, -99, PlaceKind::Region),
         "31.00000|-99.00000|Texas%2C%20region%2C%20United%20States"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        const std::string answer = lookupAnswer(c.place);
        EXPECT_EQ(answer, c.answer);
        EXPECT_FALSE(clientSaysNotFound(answer));
    }
}

TEST(LookupAnswer, CoordinatesAndNotFound) {
    FoundPlace coordinates;
    coordinates.kind = FoundPlace::Kind::Coordinates;
    coordinates.lat = 12.972;
    coordinates.lon = 77.595;
    EXPECT_EQ(lookupAnswer(coordinates), "12.97200|77.59500|12.97200%2C%2077.59500");
    EXPECT_EQ(lookupAnswer(std::nullopt), "N|N|N");
    EXPECT_TRUE(clientSaysNotFound(lookupAnswer(std::nullopt)));
}

} // namespace
} // namespace terrabo::server
