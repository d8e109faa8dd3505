#include "TestSupport.hpp"

using namespace testing_support;

TEST(ScoreText, ParsesByTheFormattedNumberRuleRoundTripsAndOrdersTheTable) {
    // A carriage return ends a line only before its line feed.
    EXPECT_EQ(rows(parseScoreText("300 Polar\r\nabc\n\n120  Frost\n3 Cr\r")), (Rows{{300, "Polar"}, {120, " Frost"}, {3, "Cr\r"}}));
    // Signed 32-bit or no entry; blanks before the number are passed over, and
    // the name may follow the number directly.
    EXPECT_EQ(rows(parseScoreText("42\n-2147483648 Min\n2147483648 O\n-2147483649 U\n2147483647 Max\n42abc\n \t\v\f\r5 B")),
              (Rows{{2147483647, "Max"}, {42, ""}, {42, "abc"}, {5, "B"}, {INT32_MIN, "Min"}}));

    // A leading byte-order mark is no part of the first line, however the bytes
    // arrive; anywhere else, or only its start, it is text like any other.
    const std::string bom = "\xEF\xBB\xBF";
    EXPECT_EQ(rows(parseScoreText(bom + "7 A\n" + bom + "9 B\n\xEF\xBB" "8 C\n\xEF" "6 D")), (Rows{{7, "A"}}));
    EXPECT_EQ(rows(parseScoreText("\xEF\xBB" "8 C\n")), Rows{});
    // A line at the limit counts without its carriage return, however it arrives.
    ScoreTableReader bytewise;
    for (const char c : bom + "12 Ras\r\n6000 " + std::string(kMaxScoreLineBytes - 5, 'x') + "\r\n")
        bytewise.feed(&c, 1);
    EXPECT_EQ(rows(bytewise.finish()), (Rows{{6000, std::string(kMaxScoreLineBytes - 5, 'x')}, {12, "Ras"}}));

    // A name run on from its number fits the limit only without the space the
    // writer puts in; kept, it would vanish on the next read.
    const std::string name(kMaxScoreLineBytes - 2, 'x');
    EXPECT_EQ(rows(parseScoreText("2x" + name + "\n3" + name)), (Rows{{3, name}}));
    EXPECT_EQ(rows(parseScoreText(formatScoreText(parseScoreText("3" + name)))), (Rows{{3, name}}));

    const std::vector<HighScoreEntry> table{{"Frost", 1250}, {" Lead", 40}, {"", 0}, {"Snow  Owl ", -7}};
    EXPECT_EQ(formatScoreText(table), "1250 Frost\n40  Lead\n0 \n-7 Snow  Owl \n");
    EXPECT_EQ(rows(parseScoreText(formatScoreText(table))), rows(table));

    std::vector<HighScoreEntry> top{{"A", 500}, {"B", 400}, {"C", 300}, {"D", 200}, {"E", 100}};
    EXPECT_TRUE(!qualifiesForTable(top, 100) && qualifiesForTable(top, 101));
    insertScore(top, {"New", 200});  // below its equal; the last entry falls off
    insertScore(top, {"G", 200});    // ties the fifth, so falls off itself
    EXPECT_EQ(rows(top), (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {200, "New"}}));
    // Full: strictly above the fifth. With room: anything above 0.
    EXPECT_TRUE(!qualifiesForTable(top, 200) && qualifiesForTable(top, 201));
    top.pop_back();
    EXPECT_TRUE(qualifiesForTable(top, 1) && !qualifiesForTable(top, 0));

    // A save puts back the run's results the file has lost, each written one
    // matched once in the file, and a result never written goes below its equals.
    EXPECT_EQ(rows(mergeRunScores({{"A", 9}, {"W", 5}}, {{{"W", 5}, {"W", 5}, {"Lost", 3}}, {{"New", 5}}})),
              (Rows{{9, "A"}, {5, "W"}, {5, "W"}, {5, "New"}, {3, "Lost"}}));
}

// Two other processes save at once, as two copies of the game would.
TEST(ScoreFileFaults, TwoCopiesKeepEveryResultAndAKilledWriterLeavesAWholeTable) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;
    const Process a = startSaver(file, "A", 1), b = startSaver(file, "B", 2);
    EXPECT_TRUE(succeeded(a) & succeeded(b));  // both waited for
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{199, "A"}, {198, "B"}, {197, "A"}, {196, "B"}, {195, "A"}}));

    // Killed at 20 moments once it has begun, a writer leaves a whole table of
    // five lines and at most one temporary file beside it.
    for (int round = 0; round < 20; ++round) {
        const std::int32_t best = loadScoreFile(file).front().score;
        const Process writer = startSaver(file, "W", -1);
        for (int i = 0; i < 5000 && loadScoreFile(file).front().score == best; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        std::this_thread::sleep_for(std::chrono::microseconds(300 * round));
        kill(writer);
        ASSERT_EQ(loadScoreFile(file).size(), 5u);
        EXPECT_GT(loadScoreFile(file).front().score, best) << "the writer never saved";
        EXPECT_EQ(readFile(file), withLineEnds(formatScoreText(loadScoreFile(file))));
        EXPECT_LE(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
    }
}
