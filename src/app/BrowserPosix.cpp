#include "app/Browser.hpp"

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

#if defined(__APPLE__)
constexpr const char* kOpener = "open";
#else
constexpr const char* kOpener = "xdg-open";
#endif

// Waits for the opener in the background so it never lingers as a zombie.
void reapLater(pid_t pid) {
    std::thread([pid] {
        int status = 0;
        while (waitpid(pid, &status, 0) == -1 && errno == EINTR) {
        }
    }).detach();
}

}  // namespace

void openInBrowser(const std::string& url) {
    std::string program(kOpener);
    std::string argument(url);
    std::vector<char*> argv{program.data(), argument.data(), nullptr};

    // The opener talks to the desktop, not to our console.
    posix_spawn_file_actions_t actions;
    if (posix_spawn_file_actions_init(&actions) != 0)
        return;
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);

    pid_t pid = 0;
    const int failed = posix_spawnp(&pid, kOpener, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    // No opener on this system: the game carries on without the page.
    if (failed != 0)
        return;
    reapLater(pid);
}
