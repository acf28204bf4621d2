#include "places/LocationGetter.h"

#include <gtest/gtest.h>

#include <limits>

namespace terrabo {
namespace {

TEST(LocationFix, OnlyFiniteDegreesOnTheEarthAreUsable) {
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double lat, lon;
        bool usable;
    } cases[] = {
        {0, 0, true},          {-33.25, 151.5, true}, {90, 180, true},  {-90, -180, true},
        {90.000001, 0, false}, {-91, 0, false},       {0, 180.5, false}, {0, -181, false},
        {1e308, 0, false},     {inf, 0, false},       {0, -inf, false}, {nan, 0, false},
        {0, nan, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isUsableFix({c.lat, c.lon}), c.usable) << c.lat << ", " << c.lon;
}

} // namespace
} // namespace terrabo
