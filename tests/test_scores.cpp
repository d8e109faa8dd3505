#include "TestSupport.hpp"

#include "app/Game.hpp"
#include "scores/ScoreFile.hpp"

#include <gtest/gtest.h>

#include <iterator>
#include <utility>

#if defined(__unix__) || defined(__APPLE__)
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

namespace fs = std::filesystem;
using namespace testing_support;
using Rows = std::vector<std::pair<std::int32_t, std::string>>;

Rows rows(const std::vector<HighScoreEntry>& table) {
    Rows out;
    for (const HighScoreEntry& entry : table)
        out.emplace_back(entry.score, entry.name);
    return out;
}

Rows parsed(const std::string& text) { return rows(parseScoreText(text)); }

TEST(ScoreFileText, ParsesByTheFormattedNumberRuleAndRoundTrips) {
    const Rows fourLines{{300, "Polar"}, {120, " Frost"}};
    EXPECT_EQ(parsed("300 Polar\nabc\n\n120  Frost\n"), fourLines);
    // Windows line ends read the same.
    EXPECT_EQ(parsed("300 Polar\r\nabc\r\n\r\n120  Frost\r\n"), fourLines);
    EXPECT_EQ(parsed("42"), (Rows{{42, ""}}));
    EXPECT_EQ(parsed("42abc"), (Rows{{42, "abc"}}));
    EXPECT_EQ(parsed("-7 Tind"), (Rows{{-7, "Tind"}}));
    EXPECT_EQ(parsed("2147483647 Max\n2147483648 Over\n-2147483648 Min\n-2147483649 Under\n"),
              (Rows{{2147483647, "Max"}, {INT32_MIN, "Min"}}));

    const std::vector<HighScoreEntry> table{
        {"Frost", 1250}, {" Lead", 40}, {"", 0}, {"Snow  Owl ", -7}};
    const std::string text = formatScoreText(table);
    EXPECT_EQ(text, "1250 Frost\n40  Lead\n0 \n-7 Snow  Owl \n");
    EXPECT_EQ(parsed(text), rows(table));
}

TEST(ScoreTable, OrderTiesCapAndAdmission) {
    std::vector<HighScoreEntry> table{{"A", 300}, {"Old", 200}, {"C", 100}};
    insertScore(table, HighScoreEntry{"New", 200});
    EXPECT_EQ(rows(table), (Rows{{300, "A"}, {200, "Old"}, {200, "New"}, {100, "C"}}));

    table = {{"A", 500}, {"B", 400}, {"C", 300}, {"D", 200}, {"E", 100}};
    insertScore(table, HighScoreEntry{"F", 150});
    const Rows after150{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {150, "F"}};
    EXPECT_EQ(rows(table), after150);
    insertScore(table, HighScoreEntry{"G", 150});  // ties the fifth, so falls off
    EXPECT_EQ(rows(table), after150);

    // Full: strictly above the fifth. With room: anything above 0.
    EXPECT_FALSE(qualifiesForTable(table, 150));
    EXPECT_TRUE(qualifiesForTable(table, 151));
    table.pop_back();
    EXPECT_TRUE(qualifiesForTable(table, 1));
    EXPECT_FALSE(qualifiesForTable(table, 0));
}

TEST(ScoreFileRead, OddFilesNeitherHangNorCrash) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;
    EXPECT_TRUE(loadScoreFile(file).empty());
    // The line cut by the size cap was never seen whole, so it is no entry.
    writeFile(file, "300 Polar\n5 " + std::string(kMaxScoreFileBytes, 'x') + "\n");
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{300, "Polar"}}));

    // Binary garbage, NULs included, past the cap; no line of it starts with a number.
    std::string garbage = "900 Polar\n777 Frost\n";
    while (garbage.size() < 4 * kMaxScoreFileBytes)
        garbage += std::string("#qX!\0\x01\x7f\x80\xff\r\n", 11);
    writeFile(file, garbage);
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{900, "Polar"}, {777, "Frost"}}));

    fs::remove(file);
    fs::create_directory(file);
    EXPECT_TRUE(loadScoreFile(file).empty());
#if defined(__unix__) || defined(__APPLE__)
    // Opening a pipe with no writer would block.
    fs::remove(file);
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_TRUE(loadScoreFile(file).empty());
#endif
}

// Through a real Game, which opens a window.
TEST(GameHighScores, LoadsRecordsAndSurvivesAFailedRewrite) {
    ScopedTempDir dir;
    ScopedWorkingDir cwd(dir.path());
    const fs::path file = dir.path() / "tundrel_score.txt";
    writeFile(file, "100 E\r\n500 A\r\n junk\r\n200 D\r\n50 F\r\n400 B\r\n200 Dd\r\n300 C\r\n");
    Game game;
    EXPECT_EQ(rows(game.highScores),
              (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {200, "Dd"}}));
    game.saveHighScore("Anonym", 250);
    const std::string written = "500 A\n400 B\n300 C\n250 Anonym\n200 D\n";
    EXPECT_EQ(readFile(file), written);

#if defined(__unix__) || defined(__APPLE__)
    // A file-size limit stops even root mid-write, much like a full disk.
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit tiny{8, previous.rlim_max};
    const auto handler = std::signal(SIGXFSZ, SIG_IGN);
    EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    game.saveHighScore("Polar", 450);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, handler);
    EXPECT_EQ(readFile(file), written);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);
    EXPECT_EQ(rows(game.highScores),
              (Rows{{500, "A"}, {450, "Polar"}, {400, "B"}, {300, "C"}, {250, "Anonym"}}));
#endif
}

}  // namespace
