#include "TestSupport.hpp"

#include "app/Fonts.hpp"

#include <cstdlib>
#include <sstream>

#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

namespace testing_support {

// CI copies DejaVu Sans Mono into the Wine prefix's fonts folder under this name.
const std::string kTestFont = fontCandidates().front();
const std::string kLineEnd = "\r\n";

// No fork here: a saver is this program again, told what to do by its
// environment, which it reads before any test starts.
Process startSaver(const std::filesystem::path& file, const std::string& name, int first) {
    const std::string job = std::to_string(first) + " " + name + " " + file.string();
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    _putenv_s("TUNDREL_TEST_SAVER", job.c_str());
    const BOOL started = CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child);
    _putenv_s("TUNDREL_TEST_SAVER", "");
    if (!started)
        return 0;
    CloseHandle(child.hThread);
    return reinterpret_cast<Process>(child.hProcess);
}

bool succeeded(Process process) {
    const HANDLE h = reinterpret_cast<HANDLE>(process);
    DWORD code = 1;
    const bool ok = h && WaitForSingleObject(h, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(h, &code);
    if (h)
        CloseHandle(h);
    return ok && code == 0;
}

void kill(Process process) {
    const HANDLE h = reinterpret_cast<HANDLE>(process);
    TerminateProcess(h, 9);
    succeeded(process);
}

namespace {
// No sound card here: OpenAL's null output gives the players a working device.
[[maybe_unused]] const int silent = _putenv_s("ALSOFT_DRIVERS", "null");

[[maybe_unused]] const bool saver = [] {
    const char* job = std::getenv("TUNDREL_TEST_SAVER");
    if (!job || !*job)
        return false;
    std::istringstream in(job);
    int first = 0;
    std::string name, file;
    in >> first >> name >> std::ws;
    std::getline(in, file);
    ExitProcess(saveScores(file, name, first) ? 0 : 1);
}();
}  // namespace

}  // namespace testing_support
