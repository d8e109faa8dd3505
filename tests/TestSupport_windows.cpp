#include "TestSupport.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace testing_support {

// CI copies DejaVu Sans Mono into the Wine prefix's fonts folder under this name.
const std::string kTestFont = fontCandidates().front();
const std::string kLineEnd = "\r\n";

// No fork here: a saver is this program again, told its job by the
// environment, which it reads before any test starts.
Process startSaver(const std::filesystem::path& file, const std::string& name, int first) {
    wchar_t self[MAX_PATH];
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    _putenv_s("TUNDREL_TEST_SAVER", (std::to_string(first) + " " + name + " " + file.string()).c_str());
    const bool started = GetModuleFileNameW(nullptr, self, MAX_PATH) &&
                         CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    _putenv_s("TUNDREL_TEST_SAVER", "");
    if (started)
        CloseHandle(child.hThread);
    return started ? reinterpret_cast<Process>(child.hProcess) : 0;
}

bool succeeded(Process process) {
    const HANDLE h = reinterpret_cast<HANDLE>(process);
    DWORD code = 1;
    const bool ended = h && WaitForSingleObject(h, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(h, &code);
    if (h)
        CloseHandle(h);
    return ended && code == 0;
}

void kill(Process process) {
    TerminateProcess(reinterpret_cast<HANDLE>(process), 9);
    succeeded(process);
}

namespace {
[[maybe_unused]] const bool saver = [] {
    std::istringstream job(std::getenv("TUNDREL_TEST_SAVER") ? std::getenv("TUNDREL_TEST_SAVER") : "");
    int first = 0;
    std::string name, file;
    if (job >> first >> name >> std::ws && std::getline(job, file))
        std::exit(saveScores(file, name, first) ? 0 : 1);
    return false;
}();
}  // namespace

}  // namespace testing_support
