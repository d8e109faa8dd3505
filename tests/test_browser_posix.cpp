// The POSIX browser opener under real processes: no xdg-open, and a stand-in
// one on the PATH.
#include "TestSupport.hpp"

#include "app/Browser.hpp"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;

TEST(BrowserOpener, SaysWhyWithoutAnOpenerAndLeavesNoChild) {
    ScopedTempDir bin;
    const fs::path out = bin.path() / "opened.txt", script = bin.path() / "xdg-open";
    // It records its argument and where its input and outputs lead: nowhere.
    writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" $(/usr/bin/readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2) >> '" +
                          out.string() + "'\n");
    fs::permissions(script, fs::perms::all);
    // The page, the PATH to put back, and what each opener records.
    const std::string url = "https://tundrel.example/hjelp?a=1&b=2", path = std::getenv("PATH"), opened = url + "/dev/null/dev/null/dev/null";
    // What the game says on standard error while it opens the page.
    const auto said = [&url] { return stderrOf([&url] { openInBrowser(url); }); };
    ScopedTempDir nowhere;  // a PATH without any opener
    setenv("PATH", nowhere.path().c_str(), 1);
    EXPECT_EQ(said(), "tundrel: cannot open " + url + ": xdg-open not found\n");
    setenv("PATH", bin.path().c_str(), 1);
    EXPECT_EQ(said(), "");
    // A launcher may leave the child signal ignored, so the shell is reaped unseen: no failure to tell.
    signal(SIGCHLD, SIG_IGN);
    EXPECT_EQ(said(), "");
    signal(SIGCHLD, SIG_DFL);
    // Nothing left to reap later, so no thread waits for it: the opener runs on its own.
    EXPECT_TRUE(waitpid(-1, nullptr, WNOHANG) == -1 && errno == ECHILD);
    setenv("PATH", path.c_str(), 1);
    for (int i = 0; i < 2000 && readFile(out).size() < 2 * opened.size(); ++i)  // bounded
        usleep(5000);
    EXPECT_EQ(readFile(out), opened + opened);
}
