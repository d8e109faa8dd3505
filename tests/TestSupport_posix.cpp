#include "TestSupport.hpp"

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {

const std::string kTestFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
const std::string kLineEnd = "\n";

Process startSaver(const std::filesystem::path& file, const std::string& name, int first) {
    const pid_t pid = fork();
    if (pid == 0)
        _exit(saveScores(file, name, first) ? 0 : 1);
    return pid;
}

bool succeeded(Process process) {
    int status = 0;
    return waitpid(static_cast<pid_t>(process), &status, 0) == process && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void kill(Process process) {
    ::kill(static_cast<pid_t>(process), SIGKILL);
    waitpid(static_cast<pid_t>(process), nullptr, 0);
}

// No sound card here: OpenAL's null output gives the players a working
// device and keeps ALSA quiet.
[[maybe_unused]] static const int silent = setenv("ALSOFT_DRIVERS", "null", 0);

}  // namespace testing_support
