#include "TestSupport.hpp"

#include "app/Game.hpp"
#include "scores/ScoreFile.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#if defined(__unix__) || defined(__APPLE__)
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#define TUNDREL_TEST_POSIX 1
#endif

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;
using testing_support::ScopedTempDir;
using testing_support::ScopedWorkingDir;
using testing_support::writeFile;

using Rows = std::vector<std::pair<std::int32_t, std::string>>;

Rows rows(const std::vector<HighScoreEntry>& table) {
    Rows out;
    for (const HighScoreEntry& entry : table)
        out.emplace_back(entry.score, entry.name);
    return out;
}

std::vector<HighScoreEntry> tableOf(const Rows& source) {
    std::vector<HighScoreEntry> table;
    for (const auto& [score, name] : source)
        table.push_back(HighScoreEntry{name, score});
    return table;
}

std::vector<std::string> folderListing(const fs::path& dir) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    return names;
}

const std::string kFullTableText = "500 A\n400 B\n300 C\n200 D\n100 E\n";

TEST(ScoreFileParse, ReadsLinesByTheFormattedNumberRule) {
    EXPECT_EQ(rows(parseScoreText("300 Polar\nabc\n\n120  Frost\n")),
              (Rows{{300, "Polar"}, {120, " Frost"}}));
    EXPECT_EQ(rows(parseScoreText("42")), (Rows{{42, ""}}));
    EXPECT_EQ(rows(parseScoreText("42abc")), (Rows{{42, "abc"}}));
    EXPECT_EQ(rows(parseScoreText("-7 Tind")), (Rows{{-7, "Tind"}}));
    EXPECT_EQ(rows(parseScoreText("42 \n")), (Rows{{42, ""}}));

    // Blanks before the number and a plus sign are part of the extraction;
    // a gap after the sign, or a letter first, is not a number.
    EXPECT_EQ(rows(parseScoreText("   15\tTabbed\n+8 Plus\n- 3 Gap\nx9 Letter\n007 Bond\n")),
              (Rows{{15, "\tTabbed"}, {8, "Plus"}, {7, "Bond"}}));
    EXPECT_EQ(rows(parseScoreText("0x10 Hex")), (Rows{{0, "x10 Hex"}}));

    EXPECT_TRUE(parseScoreText("").empty());
    EXPECT_TRUE(parseScoreText("\n\n  \nabc 12\nPolar 300\n").empty());
}

TEST(ScoreFileParse, SkipsNumbersOutsideThirtyTwoBits) {
    EXPECT_EQ(rows(parseScoreText("2147483647 Max\n2147483648 Over\n-2147483648 Min\n"
                                  "-2147483649 Under\n99999999999999999999 Huge\n")),
              (Rows{{2147483647, "Max"}, {INT32_MIN, "Min"}}));
    // Far more digits than any integer holds, on one line.
    EXPECT_EQ(rows(parseScoreText(std::string(1 << 20, '9') + " Long\n5 Short")),
              (Rows{{5, "Short"}}));
}

TEST(ScoreFileParse, KeepsFiveBestInFileOrderForTies) {
    EXPECT_EQ(rows(parseScoreText("100 Ada\n700 Bo\n300 Cy\n500 Di\n200 Ed\n600 Fi\n400 Gu\n")),
              (Rows{{700, "Bo"}, {600, "Fi"}, {500, "Di"}, {400, "Gu"}, {300, "Cy"}}));
    EXPECT_EQ(rows(parseScoreText("200 Old\n200 Older\n500 Top\n200 Oldest\n")),
              (Rows{{500, "Top"}, {200, "Old"}, {200, "Older"}, {200, "Oldest"}}));
    // Equal scores beyond the fifth place go, the earlier ones stay.
    EXPECT_EQ(rows(parseScoreText("9 a\n9 b\n9 c\n9 d\n9 e\n9 f\n9 g\n")),
              (Rows{{9, "a"}, {9, "b"}, {9, "c"}, {9, "d"}, {9, "e"}}));
}

TEST(ScoreFileParse, CarriageReturnBeforeLineFeedIsPartOfTheLineEnd) {
    const Rows expected{{500, "Polar"}, {300, "Snow Owl"}, {200, " Lead"}, {100, ""}};
    EXPECT_EQ(rows(parseScoreText("500 Polar\r\n300 Snow Owl\r\n200  Lead\r\n100 \r\n")),
              expected);
    EXPECT_EQ(rows(parseScoreText("500 Polar\n300 Snow Owl\n200  Lead\n100 \n")), expected);
    // Only one carriage return belongs to the line end, and only right
    // before the line feed.
    EXPECT_EQ(rows(parseScoreText("5 a\r\r\n4 b\rc\n")), (Rows{{5, "a\r"}, {4, "b\rc"}}));
}

TEST(ScoreFileFormat, WritesOneLineEachAndReadsBackUnchanged) {
    const Rows table{{INT32_MAX, "Snow Owl"}, {1250, "Frost"}, {40, " Lead"},
                     {0, ""},          {-7, "  Two blanks"}, {INT32_MIN, "Anonym"}};
    const std::string text = formatScoreText(tableOf(table));
    EXPECT_EQ(text,
              "2147483647 Snow Owl\n1250 Frost\n40  Lead\n0 \n-7   Two blanks\n"
              "-2147483648 Anonym\n");
    // Six rows in, five back: the reader caps the table.
    Rows firstFive(table.begin(), table.begin() + 5);
    EXPECT_EQ(rows(parseScoreText(text)), firstFive);
    EXPECT_EQ(formatScoreText({}), "");
}

TEST(ScoreTable, InsertKeepsOrderTiesAndTheCap) {
    std::vector<HighScoreEntry> table = tableOf({{300, "A"}, {200, "Old"}, {100, "C"}});
    insertScore(table, HighScoreEntry{"New", 200});
    EXPECT_EQ(rows(table), (Rows{{300, "A"}, {200, "Old"}, {200, "New"}, {100, "C"}}));

    table = parseScoreText(kFullTableText);
    insertScore(table, HighScoreEntry{"F", 150});
    EXPECT_EQ(rows(table), (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {150, "F"}}));

    // A tie with the fifth place lands below it and falls off.
    insertScore(table, HighScoreEntry{"G", 150});
    EXPECT_EQ(rows(table), (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {150, "F"}}));

    insertScore(table, HighScoreEntry{"Top", 900});
    EXPECT_EQ(rows(table), (Rows{{900, "Top"}, {500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}}));

    std::vector<HighScoreEntry> empty;
    insertScore(empty, HighScoreEntry{"Zero", 0});
    EXPECT_EQ(rows(empty), (Rows{{0, "Zero"}}));
}

TEST(ScoreTable, AdmissionRule) {
    const std::vector<HighScoreEntry> full =
        tableOf({{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {120, "E"}});
    EXPECT_FALSE(qualifiesForTable(full, 120));
    EXPECT_TRUE(qualifiesForTable(full, 121));
    EXPECT_FALSE(qualifiesForTable(full, 0));
    EXPECT_TRUE(qualifiesForTable(full, INT32_MAX));

    const std::vector<HighScoreEntry> four = tableOf({{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}});
    EXPECT_TRUE(qualifiesForTable(four, 1));
    EXPECT_FALSE(qualifiesForTable(four, 0));
    EXPECT_FALSE(qualifiesForTable(four, -5));

    EXPECT_TRUE(qualifiesForTable({}, 1));
    EXPECT_FALSE(qualifiesForTable({}, 0));
}

TEST(ScoreFileRead, LoadsFromDiskWithoutTouchingTheFile) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;
    EXPECT_TRUE(loadScoreFile(file).empty());
    EXPECT_FALSE(readScoreFile(file).has_value());

    const std::string seven = "100 Ada\r\n700 Bo\r\n300 Cy\r\n500 Di\r\n200 Ed\r\n600 Fi\r\n400 Gu\r\n";
    writeFile(file, seven);
    EXPECT_EQ(rows(loadScoreFile(file)),
              (Rows{{700, "Bo"}, {600, "Fi"}, {500, "Di"}, {400, "Gu"}, {300, "Cy"}}));
    EXPECT_EQ(readFile(file), seven);

    writeFile(file, "");
    EXPECT_TRUE(loadScoreFile(file).empty());
}

TEST(ScoreFileRead, CapKeepsOnlyCompleteLines) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / "capped.txt";
    writeFile(file, "1 a\n22 bb\n333 ccc\n");  // lines of 4, 6 and 8 bytes
    EXPECT_EQ(readScoreFile(file, 18), "1 a\n22 bb\n333 ccc\n");
    EXPECT_EQ(readScoreFile(file, 17), "1 a\n22 bb\n");
    EXPECT_EQ(readScoreFile(file, 10), "1 a\n22 bb\n");
    EXPECT_EQ(readScoreFile(file, 9), "1 a\n");
    EXPECT_EQ(readScoreFile(file, 3), "");
}

TEST(ScoreFileRead, OversizedAndOddFilesGiveSensibleTables) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;

    // 50 MB of binary garbage after two good lines; no garbage line starts
    // with a number, and the good line at the very end lies past the cap.
    std::string garbage = "900 Polar\n777 Frost\n";
    const std::string alphabet = std::string("qwXZ!#%&*()\x01\x02\x7f\x80\xfe\xff\n", 18) + '\0';
    std::uint32_t state = 12345;
    garbage.reserve(50u << 20);
    while (garbage.size() < (50u << 20)) {
        state = state * 1103515245u + 12345u;
        garbage += alphabet[(state >> 16) % alphabet.size()];
    }
    garbage += "\n999999 Late\n";
    writeFile(file, garbage);
    const std::optional<std::string> head = readScoreFile(file);
    ASSERT_TRUE(head.has_value());
    EXPECT_LE(head->size(), kMaxScoreFileBytes);
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{900, "Polar"}, {777, "Frost"}}));

    // One 10 MB line is never seen whole, so it is not an entry.
    writeFile(file, "123 " + std::string(10u << 20, 'x'));
    EXPECT_TRUE(loadScoreFile(file).empty());
    writeFile(file, "300 Polar\n120 Frost\n5 " + std::string(10u << 20, 'x') + "\n");
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{300, "Polar"}, {120, "Frost"}}));

    // A folder with the file's name is no score file.
    fs::remove(file);
    fs::create_directory(file);
    EXPECT_FALSE(readScoreFile(file).has_value());
    EXPECT_TRUE(loadScoreFile(file).empty());

#ifdef TUNDREL_TEST_POSIX
    // A pipe with no writer would block whoever opens it.
    const fs::path pipe = dir.path() / "pipe.txt";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_FALSE(readScoreFile(pipe).has_value());
    EXPECT_TRUE(loadScoreFile(pipe).empty());
#endif
}

TEST(ScoreFileWrite, ReplacesTheFileWhole) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;
    ASSERT_TRUE(writeScoreFile(file, "1250 Frost\n"));
    EXPECT_EQ(readFile(file), "1250 Frost\n");

    writeFile(file, "100 Ada\n700 Bo\n300 Cy\n500 Di\n200 Ed\n600 Fi\n400 Gu\n");
    ASSERT_TRUE(writeScoreFile(file, "700 Bo\n"));
    EXPECT_EQ(readFile(file), "700 Bo\n");
    EXPECT_EQ(folderListing(dir.path()), std::vector<std::string>{kScoreFileName});
}

TEST(ScoreFileWrite, FailureLeavesTheOldFileAndNoLeftovers) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;

    // No folder to write into.
    EXPECT_FALSE(writeScoreFile(dir.path() / "missing" / kScoreFileName, "1 a\n"));
    EXPECT_FALSE(fs::exists(dir.path() / "missing"));

    // Something that is not a file holds the temporary name.
    writeFile(file, kFullTableText);
    fs::create_directory(scoreTempPath(file));
    EXPECT_FALSE(writeScoreFile(file, "900 New\n"));
    EXPECT_EQ(readFile(file), kFullTableText);
    fs::remove(scoreTempPath(file));

    // The target is a folder, so the final rename fails.
    const fs::path folder = dir.path() / "taken";
    fs::create_directory(folder);
    EXPECT_FALSE(writeScoreFile(folder, "900 New\n"));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_TRUE(fs::is_empty(folder));

    std::vector<std::string> left = folderListing(dir.path());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"taken", kScoreFileName}));
}

#ifdef TUNDREL_TEST_POSIX
// Limits file size for this process, which even root cannot write past: the
// closest thing to a full disk.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~ScopedFileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST(ScoreFileWrite, DiskFullMidWriteLeavesTheOldFile) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;
    writeFile(file, kFullTableText);
    bool written = true;
    {
        ScopedFileSizeLimit limit(8);
        ASSERT_TRUE(limit.active());
        written = writeScoreFile(file, "500 A\n400 B\n300 C\n200 D\n150 Much longer than eight\n");
    }
    EXPECT_FALSE(written);
    EXPECT_EQ(readFile(file), kFullTableText);
    EXPECT_EQ(folderListing(dir.path()), std::vector<std::string>{kScoreFileName});
}
#endif

// Every input the fuzzer keeps, replayed in the ordinary build: a fault it
// once found stays found.
TEST(ScoreFileParse, FuzzCorpusKeepsTheTableInvariants) {
    std::size_t seen = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(TUNDREL_FUZZ_CORPUS)) {
        SCOPED_TRACE(entry.path().filename().string());
        const std::vector<HighScoreEntry> table = parseScoreText(readFile(entry.path()));
        EXPECT_LE(table.size(), 5u);
        bool endsInCr = false;
        for (std::size_t i = 0; i < table.size(); ++i) {
            if (i > 0) {
                EXPECT_GE(table[i - 1].score, table[i].score);
            }
            EXPECT_EQ(table[i].name.find('\n'), std::string::npos);
            endsInCr = endsInCr || (!table[i].name.empty() && table[i].name.back() == '\r');
        }
        if (!endsInCr) {
            EXPECT_EQ(rows(parseScoreText(formatScoreText(table))), rows(table));
        }
        ++seen;
    }
    EXPECT_GE(seen, 6u);
}

// The few cases below go through a real Game, which opens a window.
TEST(GameHighScores, FirstRecordingCreatesTheFile) {
    ScopedTempDir dir;
    ScopedWorkingDir cwd(dir.path());
    Game game;
    EXPECT_TRUE(game.highScores.empty());
    game.score = 0;
    EXPECT_FALSE(game.qualifiesForHighScore());
    game.score = 1250;
    EXPECT_TRUE(game.qualifiesForHighScore());

    game.saveHighScore("Frost", game.score);
    EXPECT_EQ(rows(game.highScores), (Rows{{1250, "Frost"}}));
    EXPECT_EQ(readFile(dir.path() / "tundrel_score.txt"), "1250 Frost\n");
}

TEST(GameHighScores, LoadsAdmitsAndRewritesTheWorkingDirectoryFile) {
    ScopedTempDir dir;
    ScopedWorkingDir cwd(dir.path());
    const fs::path file = dir.path() / "tundrel_score.txt";
    writeFile(file, "100 E\r\n500 A\r\n junk\r\n400 B\r\n300 C\r\n200 D\r\n50 F\r\n");
    Game game;
    EXPECT_EQ(rows(game.highScores),
              (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {100, "E"}}));
    game.score = 100;
    EXPECT_FALSE(game.qualifiesForHighScore());
    game.score = 150;
    EXPECT_TRUE(game.qualifiesForHighScore());

    game.saveHighScore("Anonym", game.score);
    EXPECT_EQ(rows(game.highScores),
              (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {150, "Anonym"}}));
    EXPECT_EQ(readFile(file), "500 A\n400 B\n300 C\n200 D\n150 Anonym\n");
}

TEST(GameHighScores, FailedWriteKeepsTheEntryInMemoryOnly) {
    ScopedTempDir dir;
    ScopedWorkingDir cwd(dir.path());
    const fs::path file = dir.path() / "tundrel_score.txt";
    writeFile(file, kFullTableText);
    Game game;
    fs::create_directory(scoreTempPath(kScoreFileName));

    game.saveHighScore("Polar", 450);
    EXPECT_EQ(rows(game.highScores),
              (Rows{{500, "A"}, {450, "Polar"}, {400, "B"}, {300, "C"}, {200, "D"}}));
    EXPECT_EQ(readFile(file), kFullTableText);
}

}  // namespace
