#include "app/Browser.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iostream>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kOpener = "xdg-open";

// A shell starts the opener in the background and ends at once: the game
// waits only for the shell, and the opener, never its child, needs no
// reaping. 127: there is no opener; any other failure is the shell's own.
constexpr const char* kLauncher = "command -v \"$0\" >/dev/null || exit 127; \"$0\" \"$1\" &";

// Empty when the opener is on its way.
std::string launch(const std::string& url) {
    std::string shell("sh"), flag("-c"), script(kLauncher), opener(kOpener), argument(url);
    char* argv[] = {shell.data(), flag.data(), script.data(), opener.data(), argument.data(), nullptr};

    // The opener talks to the desktop, not to our console.
    posix_spawn_file_actions_t actions;
    if (const int error = posix_spawn_file_actions_init(&actions))
        return std::strerror(error);
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
        posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY, 0);
    pid_t pid = 0;
    const int error = posix_spawn(&pid, "/bin/sh", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return std::strerror(error);  // a process limit, say

    int status = 0;
    while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0)
        return {};
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
        return std::string(kOpener) + " not found";
    return std::string("could not start ") + kOpener;
}

}  // namespace

// Never fatal: the game plays on without the page, and says so once.
void openInBrowser(const std::string& url) {
    const std::string failure = launch(url);
    if (!failure.empty())
        std::cerr << "tundrel: cannot open " << url << ": " << failure << std::endl;
}
