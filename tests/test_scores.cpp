#include "TestSupport.hpp"

#include "app/Game.hpp"
#include "scores/ScoreFile.hpp"

#include <gtest/gtest.h>


namespace {

namespace fs = std::filesystem;
using namespace testing_support;

TEST(ScoreFileText, ParsesByTheFormattedNumberRuleAndRoundTrips) {
    EXPECT_EQ(rows(parseScoreText("300 Polar\r\nabc\n\n120  Frost\n")), (Rows{{300, "Polar"}, {120, " Frost"}}));
    // Signed 32-bit or no entry; the name may follow the number directly.
    EXPECT_EQ(rows(parseScoreText("42\n-2147483648 Min\n2147483648 O\n-2147483649 U\n2147483647 Max\n42abc")),
              (Rows{{2147483647, "Max"}, {42, ""}, {42, "abc"}, {INT32_MIN, "Min"}}));

    const std::vector<HighScoreEntry> table{
        {"Frost", 1250}, {" Lead", 40}, {"", 0}, {"Snow  Owl ", -7}};
    EXPECT_EQ(formatScoreText(table), "1250 Frost\n40  Lead\n0 \n-7 Snow  Owl \n");
    EXPECT_EQ(rows(parseScoreText(formatScoreText(table))), rows(table));
}

TEST(ScoreTable, OrderTiesCapAndAdmission) {
    std::vector<HighScoreEntry> table{{"A", 500}, {"B", 400}, {"C", 300}, {"D", 200}, {"E", 100}};
    insertScore(table, {"New", 200});  // below its equal; the last entry falls off
    insertScore(table, {"G", 200});    // ties the fifth, so falls off itself
    EXPECT_EQ(rows(table), (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {200, "New"}}));
    // Full: strictly above the fifth. With room: anything above 0.
    EXPECT_FALSE(qualifiesForTable(table, 200));
    EXPECT_TRUE(qualifiesForTable(table, 201));
    table.pop_back();
    EXPECT_TRUE(qualifiesForTable(table, 1));
    EXPECT_FALSE(qualifiesForTable(table, 0));
}

}  // namespace
