// The score file under real faults: other processes, kills, limits,
// links, pipes and permissions.
#include "TestSupport.hpp"

#include "app/Game.hpp"
#include "scores/ScoreFile.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <sstream>

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace testing_support;

long entries(const fs::path& dir) {
    return std::distance(fs::directory_iterator(dir), fs::directory_iterator());
}

// Runs body in a child process; what it returns comes back as the exit code.
template <class Body>
pid_t spawn(Body body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body() ? 0 : 1);
    return pid;
}

TEST(ScoreFileRead, OddFilesNeitherHangNorGetReplaced) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;
    // Bytes of every kind, then a line cut by the size cap, which was never seen whole.
    writeFile(file, std::string("900 Polar\n#qX!\0\x01\x7f\x80\xff\r\n5 ", 23) +
                        std::string(kMaxScoreFileBytes, 'x') + "\n");
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{900, "Polar"}}));
    writeFile(file, "7");  // one byte, and no line feed
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{7, ""}}));

    // Opening a pipe with no writer would block.
    fs::remove(file);
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    EXPECT_TRUE(loadScoreFile(file).empty());

    // Write-only for its owner, in a folder anyone may write to. Root reads
    // everything, so the child becomes nobody first.
    const fs::path locked = dir.path() / "locked.txt";
    writeFile(locked, "900 Polar\n");
    fs::permissions(locked, fs::perms::owner_write);
    fs::permissions(dir.path(), fs::perms::all);
    EXPECT_TRUE(succeeded(spawn([&locked] {
        if (geteuid() == 0 && (setgroups(0, nullptr) || setgid(65534) || setuid(65534)))
            return false;
        std::error_code error;
        return loadScoreFile(locked).empty() && !recordScoreInFile(locked, {"Ny", 1}, error) &&
               error == std::errc::permission_denied;
    })));
    fs::permissions(locked, fs::perms::owner_read, fs::perm_options::add);
    // A write the system refuses (a file-size limit stops root too) fails, and
    // the file stays as it was.
    EXPECT_TRUE(succeeded(spawn([&locked] {
        const rlimit tiny{4, 4};
        std::error_code error;
        return signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &tiny) == 0 &&
               !recordScoreInFile(locked, {"Ny", 1}, error);
    })));
    EXPECT_EQ(readFile(locked), "900 Polar\n");
    EXPECT_EQ(entries(dir.path()), 2);
}

// Through a real Game, which opens a window. Its score file is a link to a
// file of another owner, with a mode of its own.
TEST(GameHighScores, RecordsThroughALinkAndShowsAFailedSave) {
    ScopedTempDir dir(true);
    const fs::path target = "kept/scores.txt";
    fs::create_directory("kept");
    writeFile(target, "100 E\r\n500 A\r\n junk\r\n200 D\r\n50 F\r\n400 B\r\n200 Dd\r\n300 C\r\n");
    fs::create_symlink(target, kScoreFileName);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    ASSERT_EQ(chown(target.c_str(), owner, static_cast<gid_t>(-1)), 0);

    Game game;
    EXPECT_EQ(rows(game.highScores),
              (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {200, "Dd"}}));
    game.saveHighScore("Anonym", 250);
    const std::string written = "500 A\n400 B\n300 C\n250 Anonym\n200 D\n";
    EXPECT_EQ(readFile(target), written);
    EXPECT_TRUE(fs::is_symlink(kScoreFileName));
    struct stat info {};
    ASSERT_EQ(stat(target.c_str(), &info), 0);
    EXPECT_TRUE((info.st_mode & 07777) == 0640u && info.st_uid == owner) << std::oct << info.st_mode;

    // Another copy holds the lock for longer than a save waits.
    const int held = open(scoreTempPath(target).c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    std::ostringstream said;
    std::streambuf* const console = std::cerr.rdbuf(said.rdbuf());
    game.saveHighScore("Polar", 450);
    std::cerr.rdbuf(console);
    close(held);
    EXPECT_EQ(said.str(), "tundrel: could not save the result to tundrel_score.txt: Resource temporarily unavailable\n");
    EXPECT_EQ(readFile(target), written);
    EXPECT_TRUE(game.scoreSaveFailed);
    EXPECT_EQ(rows(game.highScores),
              (Rows{{500, "A"}, {450, "Polar"}, {400, "B"}, {300, "C"}, {250, "Anonym"}}));
    // The next save takes over the temporary file left behind; the unsaved
    // result still counts for this run.
    game.saveHighScore("Frost", 1);
    EXPECT_FALSE(game.scoreSaveFailed);
    EXPECT_EQ(rows(game.highScores)[1], (std::pair<std::int32_t, std::string>(450, "Polar")));
    EXPECT_EQ(entries("kept"), 1);
}

}  // namespace
