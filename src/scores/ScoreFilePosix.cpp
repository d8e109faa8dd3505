// Reading and saving the score file on POSIX systems: an advisory lock,
// a flushed temporary file renamed over the old one, a flushed folder.
#include "scores/ScoreFile.hpp"
#include "scores/ScoreFileDetail.hpp"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;
using namespace score_file_detail;

namespace {

// A file descriptor, closed when it goes out of scope.
struct Descriptor {
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int fd;
};

// Keeps the system's reason for the last failed call.
bool failWithErrno(std::error_code& error) {
    error.assign(errno, std::generic_category());
    return false;
}

// Opens the temporary file and locks it; it is the score file's lock as well.
// A waiter can win the lock on a copy that was just renamed into place, so
// the lock only counts on the file still under the temporary name.
int lockTemporary(const fs::path& temp, std::error_code& error) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    for (;;) {
        // Opening never follows a link nor waits on a pipe planted under the
        // name, and never truncates: another save may be writing.
        Descriptor file(::open(temp.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                               0666));
        struct stat held {}, named {};
        if (file.fd < 0 || ::fstat(file.fd, &held) != 0) {
            failWithErrno(error);
            return -1;
        }
        if (!S_ISREG(held.st_mode)) {
            error = notARegularFile();
            return -1;
        }
        const bool locked = ::flock(file.fd, LOCK_EX | LOCK_NB) == 0;
        if (!locked && errno != EWOULDBLOCK) {
            failWithErrno(error);
            return -1;
        }
        if (locked && ::stat(temp.c_str(), &named) == 0 && named.st_dev == held.st_dev &&
            named.st_ino == held.st_ino)
            return std::exchange(file.fd, -1);
        if (std::chrono::steady_clock::now() >= deadline) {
            error = std::make_error_code(std::errc::operation_would_block);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// Fills the locked temporary file, gives it the old file's mode and owner and
// renames it over the target, flushed to disk before and after.
bool replaceWith(int fd, const fs::path& temp, const fs::path& target, const std::string& text,
                 std::error_code& error) {
    if (::ftruncate(fd, 0) != 0)
        return failWithErrno(error);
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno != EINTR)
            return failWithErrno(error);
        done += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
    }
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        // Only root may give the file back to another owner.
        if (::fchown(fd, old.st_uid, old.st_gid) != 0 && errno != EPERM)
            return failWithErrno(error);
        if (::fchmod(fd, old.st_mode & 07777) != 0)
            return failWithErrno(error);
    }
    if (::fsync(fd) != 0 || ::rename(temp.c_str(), target.c_str()) != 0)
        return failWithErrno(error);
    // The new table is in place by now; a folder that refuses to sync (some
    // file systems do) does not undo that.
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    const Descriptor dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.fd >= 0)
        static_cast<void>(::fsync(dir.fd));
    return true;
}

}  // namespace

std::optional<std::string> readScoreFile(const fs::path& path, std::error_code& error,
                                         std::size_t maxBytes) {
    // Non-blocking, so a pipe under the name cannot hold the game up.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (file.fd < 0 && errno == ENOENT)
        return std::string();
    struct stat info {};
    if (file.fd < 0 || ::fstat(file.fd, &info) != 0) {
        failWithErrno(error);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        error = notARegularFile();
        return std::nullopt;
    }
    // One byte more than allowed tells whether the file goes on.
    std::string text(maxBytes + 1, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(file.fd, &text[got], text.size() - got);
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR) {
            failWithErrno(error);
            return std::nullopt;
        }
        got += n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    text.resize(got);
    return completeLines(std::move(text), maxBytes);
}

std::optional<std::vector<HighScoreEntry>> recordScoreInFile(const fs::path& path,
                                                             const HighScoreEntry& entry,
                                                             std::error_code& error) {
    error.clear();
    const fs::path target = resolveLinks(path, error);
    if (error)
        return std::nullopt;
    const fs::path temp = scoreTempPath(target);
    const Descriptor lock(lockTemporary(temp, error));
    if (lock.fd < 0)
        return std::nullopt;
    // Read under the lock, so what another copy of the game saved is kept.
    std::optional<std::vector<HighScoreEntry>> table = tableWith(target, entry, error);
    if (table && !replaceWith(lock.fd, temp, target, formatScoreText(*table), error))
        table.reset();
    // Removed while still locked, so no other save is using it.
    if (!table)
        ::unlink(temp.c_str());
    return table;
}
