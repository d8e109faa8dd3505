// Reading and saving the score file on Windows: the temporary file, opened
// so that no other process may write it, is the lock; it is flushed, then
// moved over the old file with write-through. Lines end in CR LF, as Windows editors expect.
#include "scores/ScoreFile.hpp"
#include "scores/ScoreFileDetail.hpp"

#include <chrono>
#include <thread>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace fs = std::filesystem;
using namespace score_file_detail;

namespace {

struct Handle {
    explicit Handle(HANDLE h) : h(h) {}
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE)
            CloseHandle(h);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    HANDLE h;
};

bool failWithLastError(std::error_code& error) {
    error.assign(static_cast<int>(GetLastError()), std::system_category());
    return false;
}

// Not shared for writing: another copy's open fails until this one is done.
// Reading and deleting stay shared, so the file can be moved into place while
// held and read there at once.
HANDLE lockTemporary(const fs::path& temp, std::error_code& error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        const HANDLE h = CreateFileW(temp.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                                     FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                     OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            return h;
        if (GetLastError() != ERROR_SHARING_VIOLATION || std::chrono::steady_clock::now() >= deadline) {
            failWithLastError(error);
            return INVALID_HANDLE_VALUE;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

bool writeAll(HANDLE h, const std::string& text, std::error_code& error) {
    DWORD wrote = 0;
    for (std::size_t done = 0; done < text.size(); done += wrote)
        if (!WriteFile(h, text.data() + done, static_cast<DWORD>(text.size() - done), &wrote, nullptr))
            return failWithLastError(error);
    return true;
}

// A reader that has the old file open (another copy starting, a virus
// scanner) makes the move fail for a moment; it is tried again meanwhile.
bool moveIntoPlace(const fs::path& temp, const fs::path& target, std::error_code& error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD reason = GetLastError();
        if ((reason != ERROR_ACCESS_DENIED && reason != ERROR_SHARING_VIOLATION) ||
            std::chrono::steady_clock::now() >= deadline)
            return failWithLastError(error);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

}  // namespace

std::optional<std::vector<HighScoreEntry>> readScoreFile(const fs::path& path, std::error_code& error) {
    // Shared every way, so a reader never stands in the way of a save.
    const Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (file.h == INVALID_HANDLE_VALUE) {
        const DWORD reason = GetLastError();
        if (reason == ERROR_FILE_NOT_FOUND)
            return std::vector<HighScoreEntry>();
        failWithLastError(error);
        return std::nullopt;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(file.h) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = notARegularFile();
        return std::nullopt;
    }
    ScoreTableReader reader;
    std::vector<char> chunk(score_file_detail::kReadChunkBytes);
    DWORD n = 0;
    do {
        if (!ReadFile(file.h, chunk.data(), static_cast<DWORD>(chunk.size()), &n, nullptr)) {
            failWithLastError(error);
            return std::nullopt;
        }
        reader.feed(chunk.data(), n);
    } while (n > 0);
    return reader.finish();
}

std::optional<std::vector<HighScoreEntry>> recordScoreInFile(const fs::path& path,
                                                             const RunScores& run, std::error_code& error) {
    error.clear();
    const fs::path target = resolveLinks(path, error);
    if (error)
        return std::nullopt;
    const fs::path temp = scoreTempPath(target);
    const Handle lock(lockTemporary(temp, error));
    if (lock.h == INVALID_HANDLE_VALUE)
        return std::nullopt;
    // Read under the lock, so what another copy of the game saved is kept.
    std::optional<std::vector<HighScoreEntry>> table = tableWith(target, run, error);
    const bool saved = table && SetFilePointer(lock.h, 0, nullptr, FILE_BEGIN) == 0 &&
                       (SetEndOfFile(lock.h) || failWithLastError(error)) &&
                       writeAll(lock.h, withCrLf(formatScoreText(*table)), error) &&
                       (FlushFileBuffers(lock.h) || failWithLastError(error)) &&
                       moveIntoPlace(temp, target, error);
    if (saved)
        return table;
    // Deleted on close, while no other save can be using it.
    FILE_DISPOSITION_INFO gone{TRUE};
    SetFileInformationByHandle(lock.h, FileDispositionInfo, &gone, sizeof gone);
    return std::nullopt;
}
