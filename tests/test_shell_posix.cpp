// The POSIX halves of the shell: the browser opener and where fonts come from.
#include "TestSupport.hpp"

#include "app/Browser.hpp"
#include "app/Fonts.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <sstream>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using testing_support::readFile;

// The pids whose parent is this process; a zombie stays listed until reaped.
std::set<std::string> childProcesses() {
    std::set<std::string> found;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc")) {
        const std::string stat = readFile(entry.path() / "stat");
        std::istringstream fields(stat.substr(stat.rfind(')') + 1));  // past the name in brackets
        char state = 0;
        long parent = 0;
        if (fields >> state >> parent && parent == getpid())
            found.insert(entry.path().filename().string());
    }
    return found;
}

TEST(PlayInput, BrowserOpenerRunsWithTheUrlAndIsReaped) {
    testing_support::ScopedTempDir bin;
    const fs::path out = bin.path() / "opened.txt", script = bin.path() / "xdg-open";
    // It records its argument and where its input and outputs lead: nowhere.
    testing_support::writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" $(/usr/bin/readlink /proc/$$/fd/0 /proc/$$/fd/1 "
                                       "/proc/$$/fd/2) > '" + out.string() + "'\n");
    fs::permissions(script, fs::perms::owner_all);
    const std::string url = "https://tundrel.example/hjelp?a=1&b=2", path = std::getenv("PATH");
    const std::set<std::string> before = childProcesses();
    setenv("PATH", bin.path().c_str(), 1);
    openInBrowser(url);
    setenv("PATH", path.c_str(), 1);
    // Bounded polling: the opener runs on its own; an unreaped one stays a zombie.
    bool opened = false, reaped = false;
    for (int i = 0; i < 2000 && !reaped; ++i, usleep(5000))
        reaped = (opened = readFile(out) == url + "/dev/null/dev/null/dev/null") && childProcesses() == before;
    EXPECT_TRUE(reaped) << (opened ? "the opener was left a zombie" : "the opener never ran");
}

TEST(Fonts, OnlyAbsolutePathsAndFontconfigsChoiceFirst) {
    // A font planted in the working folder under a Windows-looking name is
    // never opened: a shared folder must not choose what FreeType parses.
    testing_support::ScopedTempDir dir(true);
    fs::create_directories("C:/Windows/Fonts");
    fs::copy_file(testing_support::kTestFont, "C:/Windows/Fonts/consola.ttf");
    const std::vector<std::string> candidates = fontCandidates();
    EXPECT_TRUE(std::all_of(candidates.begin(), candidates.end(), [](auto& c) { return fs::path(c).is_absolute(); }));
    // fontconfig's choice comes first: on Fedora or Arch no fixed path would open.
    EXPECT_EQ(candidates.size(), 1u + 5u) << "fontconfig's monospace is missing";
    sf::Font loaded;
    EXPECT_GE(openFirstFont(loaded, candidates), 0);
}

}  // namespace
