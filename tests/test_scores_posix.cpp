// The score file under real faults: other processes, kills, limits,
// links, pipes and permissions.
#include "TestSupport.hpp"

#include <csignal>
#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace testing_support;

// Runs body in a child process and waits: true when body returned true.
template <class Body> static bool inChild(Body body) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(body() ? 0 : 1);
    return succeeded(pid);
}

// Runs body in a child that is another user, nobody, when the suite runs as root.
template <class Body> static bool asNobody(Body body) {
    return inChild([&body] {
        return (geteuid() != 0 || (setgroups(0, nullptr) == 0 && setgid(65534) == 0 && setuid(65534) == 0)) && body();
    });
}

static struct stat statOf(const fs::path& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 ? info : decltype(info){};
}

static long statusKb(const std::string& key) {
    const std::string status = readFile("/proc/self/status");
    return std::atol(status.c_str() + status.find(key) + key.size());
}

TEST(ScoreFileRead, OddFilesNeitherHangNorGetReplacedAndLongFilesCountWhole) {
    ScopedTempDir dir;
    const fs::path file = dir.path() / kScoreFileName;
    // Opening a pipe with no writer would block; nor is it a table to replace.
    ASSERT_EQ(mkfifo(file.c_str(), 0600), 0);
    std::error_code error;
    EXPECT_TRUE(loadScoreFile(file).empty() && !recordScoreInFile(file, {"Ny", 1}, error) &&
                error.message() == "not a regular file");
    fs::remove(file);
    writeFile(file, "7");  // the shortest table, read a byte at once
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{7, ""}}));

    // Write-only for its owner, in a folder anyone may write to. Root reads
    // everything, so the child becomes nobody first.
    const fs::path locked = dir.path() / "locked.txt";
    writeFile(locked, "900 Polar\n");
    fs::permissions(locked, fs::perms::owner_write);
    fs::permissions(dir.path(), fs::perms::all);
    EXPECT_TRUE(asNobody([&] {
        return loadScoreFile(locked).empty() && !recordScoreInFile(locked, {"Ny", 1}, error) &&
               error == std::errc::permission_denied;
    }));
    fs::permissions(locked, fs::perms::owner_read, fs::perm_options::add);
    // A write the system refuses (a file-size limit stops root too) fails, and
    // the file stays as it was.
    EXPECT_TRUE(inChild([&] {
        const rlimit tiny{4, 4};
        return signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &tiny) == 0 &&
               !recordScoreInFile(locked, {"Ny", 1}, error);
    }));
    EXPECT_EQ(readFile(locked), "900 Polar\n");
    // Started with its standard input closed, the game's first file is descriptor 0.
    EXPECT_TRUE(inChild([&] {
        return ::close(0) == 0 && loadScoreFile(locked).size() == 1 && recordScoreInFile(locked, {"Ny", 1}, error) &&
               loadScoreFile(locked).size() == 2;
    }));

    // Every line of a file over 100 MB counts, in bounded memory: a hole of
    // zero bytes is one line, far too long, skipped to its end; so is a line of
    // a number and a name too long.
    writeFile(file, "5000 Best\n");
    fs::resize_file(file, (100u << 20) + 7);
    std::ofstream(file, std::ios::app) << "\n6000 " << std::string(kMaxScoreLineBytes - 5, 'x') << "\r\n7000 "
                                       << std::string(kMaxScoreLineBytes - 4, 'x') << "\n2 After\n";
    std::ofstream("/proc/self/clear_refs") << "5";  // resets the peak
    const long before = statusKb("VmRSS:");
    EXPECT_EQ(rows(loadScoreFile(file)), (Rows{{6000, std::string(kMaxScoreLineBytes - 5, 'x')}, {5000, "Best"}, {2, "After"}}));
    EXPECT_LT(statusKb("VmHWM:") - before, 16 * 1024);
}

// Another user plants links and files in a sticky folder anyone may write to
// (a shared scratch folder), to make the player's save write elsewhere.
TEST(ScoreFileHostile, PlantedLinksAndFilesNeverTakeASaveAsRoot) {
    if (geteuid() != 0)
        GTEST_SKIP() << "a second user needs root";
    ScopedTempDir shared, home;
    fs::permissions(shared.path(), fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(home.path(), fs::perms::all);
    const fs::path file = shared.path() / kScoreFileName, temp = scoreTempPath(file);
    const fs::path diary = home.path() / "diary", mine = home.path() / "scores.txt";
    writeFile(diary, "dear diary\n");
    fs::permissions(diary, fs::perms::owner_read | fs::perms::owner_write);
    std::error_code error;

    // Each plant makes the save fail with its reason.
    const auto refused = [&](auto plant, const fs::path& at) {
        const bool planted = asNobody(plant);
        const bool saved = recordScoreInFile(file, {"Vic", 50}, error).has_value();
        const struct stat left = statOf(at);
        fs::remove(at);
        return planted && !saved && left.st_uid == 65534 ? error.message() : "saved";
    };
    EXPECT_EQ(refused([&] { return symlink(diary.c_str(), file.c_str()) == 0; }, file), "Permission denied");
    EXPECT_EQ(refused([&] { return symlink(diary.c_str(), temp.c_str()) == 0; }, temp), "not a regular file");
    EXPECT_EQ(refused([&] { return creat(temp.c_str(), 0666) >= 0; }, temp), "the temporary file belongs to another user");
    fs::create_symlink(mine, file);  // the player's own link is followed
    EXPECT_TRUE(recordScoreInFile(file, {"Vic", 50}, error) && readFile(mine) == "50 Vic\n");
    fs::remove(file);

    // A folder the player may write, with a score file of another user's:
    // replaced, and the player's now, since only root may give a file away.
    ScopedTempDir open;
    fs::permissions(open.path(), fs::perms::all);
    const fs::path theirs = open.path() / kScoreFileName;
    writeFile(theirs, "900 Polar\n");
    fs::permissions(theirs, fs::perms::all);
    EXPECT_TRUE(asNobody([&] { return recordScoreInFile(theirs, {"Ny", 1001}, error).has_value(); }));
    EXPECT_EQ(readFile(theirs), "1001 Ny\n900 Polar\n");
    EXPECT_EQ(statOf(theirs).st_uid, 65534u);

    // A hard link to the root-only diary at the temporary name, beside a
    // score file of the other user's, which a save would give to its owner.
    // Linking another's file needs the kernel's guard off for a moment.
    const std::string guard = "/proc/sys/fs/protected_hardlinks", was = readFile(guard);
    std::ofstream(guard) << "0\n";
    const bool linked = asNobody([&] {
        writeFile(file, "60 Them\n");
        return chmod(file.c_str(), 0666) == 0 && link(diary.c_str(), temp.c_str()) == 0;
    });
    std::ofstream(guard) << was;
    if (!linked)
        GTEST_SKIP() << "cannot lift " << guard << " here to plant a hard link";
    EXPECT_TRUE(recordScoreInFile(file, {"Vic", 50}, error)) << error.message();
    EXPECT_EQ(readFile(file) + readFile(diary), "60 Them\n50 Vic\ndear diary\n");
    EXPECT_EQ(statOf(file).st_uid, 65534u);
    const struct stat kept = statOf(diary);
    EXPECT_TRUE(kept.st_uid == 0 && (kept.st_mode & 07777) == 0600 && kept.st_nlink == 1) << std::oct << kept.st_mode;
}

// Through a real Game. Its score file is a link to a file with a mode of its own.
TEST(GameHighScores, RecordsThroughALinkAndShowsAFailedSave) {
    ScopedTempDir dir(true);
    const fs::path target = "kept/scores.txt";
    fs::create_directory("kept");
    writeFile(target, "100 E\r\n500 A\r\n junk\r\n200 D\r\n50 F\r\n400 B\r\n200 Dd\r\n300 C\r\n");
    fs::create_symlink(target, kScoreFileName);
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);

    Game game{NoWindow{}};
    EXPECT_EQ(rows(game.highScores), (Rows{{500, "A"}, {400, "B"}, {300, "C"}, {200, "D"}, {200, "Dd"}}));
    game.saveHighScore("Anonym", 250);
    const std::string written = "500 A\n400 B\n300 C\n250 Anonym\n200 D\n";
    EXPECT_TRUE(readFile(target) == written && fs::is_symlink(kScoreFileName));
    EXPECT_EQ(statOf(target).st_mode & 07777, 0640u) << std::oct << statOf(target).st_mode;

    // Another copy holds the lock for longer than a save waits.
    const int held = open(scoreTempPath(target).c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    const std::string said = stderrOf([&game] { game.saveHighScore("Polar", 450); });
    close(held);
    EXPECT_EQ(said, "tundrel: could not save the result to tundrel_score.txt: Resource temporarily unavailable\n");
    EXPECT_TRUE(readFile(target) == written && game.scoreSaveFailed);
    EXPECT_EQ(rows(game.highScores), (Rows{{500, "A"}, {450, "Polar"}, {400, "B"}, {300, "C"}, {250, "Anonym"}}));
    // The next save takes over the temporary file left behind, and stores the
    // result that was not stored.
    game.saveHighScore("Frost", 1);
    EXPECT_TRUE(!game.scoreSaveFailed && std::distance(fs::directory_iterator("kept"), fs::directory_iterator()) == 1);
    EXPECT_EQ(readFile(target), "500 A\n450 Polar\n400 B\n300 C\n250 Anonym\n");
}

// Saves refused by the folder, by the file, and by the file behind a link:
// the line stays until a save goes through, in place where the folder is
// read-only, and that save stores every result of the run that five better
// ones do not outrank, without the mark. The player is nobody where the suite
// runs as root.
TEST(GameHighScores, EveryResultReachesTheFileWithTheNextSaveThatGoesThrough) {
    ScopedTempDir dir(true);
    Game game{NoWindow{}};
    ASSERT_TRUE(geteuid() != 0 || chown(".", 65534, 65534) == 0);
    // Another copy's five better results, saved by Notepad with a byte-order mark.
    const std::string ours = "300 P\n200 P\n100 P\n", theirs = "\xEF\xBB\xBF" "900 A\r\n800 B\r\n700 C\r\n600 D\r\n500 E\r\n";
    // Each save: its score, the folder's and the file's modes, whether it fails, the file after it.
    const std::vector<std::tuple<int, mode_t, mode_t, bool, std::string>> steps{
        {300, 0555, 0644, true, ""}, {200, 0555, 0644, true, ""}, {100, 0755, 0644, false, ours}, {50, 0755, 0444, true, ours},
        {40, 0755, 0644, false, ours + "50 P\n40 P\n"}, {30, 0755, 0444, true, theirs},
        {650, 0555, 0644, false, "900 A\n800 B\n700 C\n650 P\n600 D\n"}};
    EXPECT_TRUE(asNobody([&] {
        std::cerr.rdbuf(nullptr);
        std::error_code ec;
        for (const auto& [score, folder, file, fails, text] : steps) {
            if (score == 30)  // behind a link from now on
                fs::rename(kScoreFileName, "kept.txt", ec), writeFile("kept.txt", theirs), fs::create_symlink("kept.txt", kScoreFileName, ec);
            chmod(".", folder), chmod(kScoreFileName, file);
            game.saveHighScore("P", score);
            if (game.scoreSaveFailed != fails || readFile(kScoreFileName) != text)
                return std::clog << "after " << score << ":\n" << readFile(kScoreFileName), false;
        }
        return true;
    }));
}
