#include "places/History.h"

#include <gtest/gtest.h>

namespace terrabo {
namespace {

const std::vector<std::string> kHistory = {
    "Paris",         "48.85|2.35|Paris FR", "paris", "1|1|small letters",
    "New Paris",     "3|3|newer pair",      "Lyon",  "45.76|4.83|Lyon",
    "Z\xC3\xBCrich", "47.37|8.54|Zurich",
};

struct SearchCase {
    const char* typed;
    std::optional<std::string> answer;
};

class HistorySearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(HistorySearch, FindsTheOldestQueryContainingTheText) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(findInHistory(kHistory, c.typed), c.answer) << c.typed;
}

INSTANTIATE_TEST_SUITE_P(
    Typed, HistorySearch,
    ::testing::Values(SearchCase{"Paris", "48.85|2.35|Paris FR"},
                      SearchCase{"Par", "48.85|2.35|Paris FR"},  // part of an earlier query
                      SearchCase{"aris", "48.85|2.35|Paris FR"}, // two queries match: the older
                      SearchCase{"paris", "1|1|small letters"},  // case-sensitive
                      SearchCase{"New", "3|3|newer pair"}, SearchCase{"PARIS", std::nullopt},
                      SearchCase{"Paris FR",
                                 std::nullopt}, // the stored text is searched, not the typed
                      SearchCase{"45.76", std::nullopt}, // answers are never searched
                      SearchCase{"Lyon|", std::nullopt},
                      SearchCase{"\xC3\xBC", "47.37|8.54|Zurich"},
                      SearchCase{"Rome", std::nullopt}));

TEST(HistorySearch, AQueryWithoutAnAnswerIsNoHit) {
    const std::vector<std::string> odd = {"Rome", "41.9|12.5|Rome", "Oslo"};
    EXPECT_EQ(findInHistory(odd, "Oslo"), std::nullopt);
    EXPECT_EQ(findInHistory(odd, "Rome"), "41.9|12.5|Rome");
    EXPECT_EQ(findInHistory({}, "Rome"), std::nullopt);
}

} // namespace
} // namespace terrabo
