// The Windows halves: fonts from the system's fonts folder, the browser
// hand-off through the shell, the score file under a second copy that holds
// it or its lock. POSIX's other faults have no counterpart here: no fork or
// second user in-process, no pipes in a folder, no size limits, and links
// need privileges the tests do not have.
#include "TestSupport.hpp"

#include "app/Browser.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace {

using namespace testing_support;

TEST(Fonts, TheSystemFontsFolderInOrder) {
    char windows[MAX_PATH];
    const std::string fonts = std::string(windows, GetWindowsDirectoryA(windows, MAX_PATH)) + "\\Fonts\\";
    EXPECT_EQ(fontCandidates(), (std::vector<std::string>{fonts + "consola.ttf", fonts + "arial.ttf", fonts + "calibri.ttf"}));
    sf::Font loaded;
    EXPECT_EQ(openFirstFont(loaded, fontCandidates()), 0) << "no consola.ttf in " << fonts;
}

// start runs a script named as the page; '&' in the name must reach it unsplit.
TEST(Browser, StartHandsTheWholeAddressOver) {
    ScopedTempDir dir(true);
    const fs::path script = dir.path() / "page&x=1.cmd";
    writeFile(script, "@echo opened> \"" + (dir.path() / "opened.txt").string() + "\"\r\n@exit\r\n");
    openInBrowser(script.string());
    // cmd may write the line in two pieces: wait for the whole of it.
    for (int i = 0; i < 500 && readFile(dir.path() / "opened.txt") != "opened\r\n"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(readFile(dir.path() / "opened.txt"), "opened\r\n");
}

// A copy that holds the file shut to others, then one that holds the lock:
// neither save replaces the file, and the game says so.
TEST(GameHighScores, AFileHeldShutOrLockedIsNotReplaced) {
    ScopedTempDir dir(true);
    writeFile(kScoreFileName, "500 A\r\n");
    Game game{NoWindow{}};
    for (const fs::path& held : {fs::path(kScoreFileName), scoreTempPath(kScoreFileName)}) {
        const HANDLE other = CreateFileW(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
        ASSERT_NE(other, INVALID_HANDLE_VALUE);
        const std::string said = stderrOf([&game] { game.saveHighScore("Polar", 450); });
        CloseHandle(other);
        EXPECT_TRUE(game.scoreSaveFailed);
        EXPECT_EQ(said.rfind("tundrel: could not save the result to tundrel_score.txt: ", 0), 0u) << said;
        EXPECT_EQ(readFile(kScoreFileName), "500 A\r\n");
    }
    game.saveHighScore("Frost", 1);
    EXPECT_FALSE(game.scoreSaveFailed);
    // The file as it was, the results not stored before and the new one.
    EXPECT_EQ(readFile(kScoreFileName), "500 A\r\n450 Polar\r\n450 Polar\r\n1 Frost\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator("."), fs::directory_iterator()), 1);
}

}  // namespace
