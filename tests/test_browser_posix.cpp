// The POSIX browser opener under real processes: no xdg-open, and a stand-in
// one on the PATH.
#include "TestSupport.hpp"

#include "app/Browser.hpp"

#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;

TEST(BrowserOpener, SaysWhyWithoutAnOpenerAndLeavesNoChild) {
    ScopedTempDir bin;
    const fs::path out = bin.path() / "opened.txt", script = bin.path() / "xdg-open";
    // It records its argument and where its input and outputs lead: nowhere.
    writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" $(/usr/bin/readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2) > '" +
                          out.string() + "'\n");
    fs::permissions(script, fs::perms::all);
    const std::string url = "https://tundrel.example/hjelp?a=1&b=2", path = std::getenv("PATH");
    // What the game says on standard error while it opens the page.
    const auto said = [&url] {
        std::ostringstream report;
        std::streambuf* const console = std::cerr.rdbuf(report.rdbuf());
        openInBrowser(url);
        std::cerr.rdbuf(console);
        return report.str();
    };
    ScopedTempDir nowhere;  // a PATH without any opener
    setenv("PATH", nowhere.path().c_str(), 1);
    EXPECT_EQ(said(), "tundrel: cannot open " + url + ": xdg-open not found\n");
    setenv("PATH", bin.path().c_str(), 1);
    EXPECT_EQ(said(), "");
    // Nothing left to reap later, so no thread waits for it: the opener runs on its own.
    EXPECT_TRUE(waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD);
    setenv("PATH", path.c_str(), 1);
    for (int i = 0; i < 2000 && readFile(out).empty(); ++i)  // bounded
        usleep(5000);
    EXPECT_EQ(readFile(out), url + "/dev/null/dev/null/dev/null");
}
