// Reading and saving the score file on POSIX systems: advisory locks, a
// flushed temporary file renamed over the old one, a flushed folder. Every
// name is opened without following links, inside a folder held open, and
// checked by what was opened, since the folder may be shared with others.
#include "scores/ScoreFile.hpp"
#include "scores/ScoreFileDetail.hpp"

#include <cerrno>
#include <chrono>
#include <climits>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;
using namespace score_file_detail;
using Deadline = std::chrono::steady_clock::time_point;

namespace {

// A file descriptor, closed when it goes out of scope.
struct Descriptor {
    explicit Descriptor(int fd = -1) : fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    bool open() const { return fd >= 0; }
    void reset(int to = -1) {
        if (open())
            ::close(fd);
        fd = to;
    }
    int fd;
};

// Keeps the system's reason for the last failed call.
bool failWithErrno(std::error_code& error) {
    error.assign(errno, std::generic_category());
    return false;
}

bool fail(std::error_code& error, std::error_code reason) {
    error = reason;
    return false;
}

bool readTable(int fd, std::vector<HighScoreEntry>& table, std::error_code& error) {
    ScoreTableReader reader;
    std::vector<char> chunk(score_file_detail::kReadChunkBytes);
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), chunk.size());
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            return failWithErrno(error);
        if (n > 0)
            reader.feed(chunk.data(), static_cast<std::size_t>(n));
    }
    table = reader.finish();
    return true;
}

// Opens the folder that holds the file a path names, following the links at
// its end the way the kernel does (fs.protected_symlinks): in a sticky folder
// anyone may write to, only a link of the player's or of the folder's owner.
// The links further up the path the kernel follows itself, by the same rule.
bool openTarget(fs::path path, Descriptor& dir, std::string& name, std::error_code& error) {
    for (int hop = 0; hop < 40; ++hop) {
        const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
        dir.reset(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        name = path.filename().string();
        struct stat in {}, link {};
        if (!dir.open() || ::fstat(dir.fd, &in) != 0)
            return failWithErrno(error);
        if (::fstatat(dir.fd, name.c_str(), &link, AT_SYMLINK_NOFOLLOW) != 0)
            return errno == ENOENT || failWithErrno(error);
        if (!S_ISLNK(link.st_mode))
            return true;
        const bool shared = (in.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH);
        if (shared && link.st_uid != ::geteuid() && link.st_uid != in.st_uid)
            return fail(error, std::make_error_code(std::errc::permission_denied));
        char to[PATH_MAX];
        const ssize_t length = ::readlinkat(dir.fd, name.c_str(), to, sizeof to);
        if (length < 0 || length == static_cast<ssize_t>(sizeof to))
            return failWithErrno(error);
        const fs::path next(std::string(to, static_cast<std::size_t>(length)));
        path = next.is_absolute() ? next : folder / next;
    }
    return fail(error, std::make_error_code(std::errc::too_many_symbolic_link_levels));
}

enum class Use { Temporary, Replaced, InPlace };

int failFd(std::error_code& error, std::error_code reason) {
    error = reason;
    return -1;
}

int failFdWithErrno(std::error_code& error) {
    return failFd(error, std::error_code(errno, std::generic_category()));
}

// Opens a name in the folder and locks what it opened. A waiter can win the
// lock on a file that was just renamed over, so the lock only counts while
// the name still leads to the locked file. Opening never follows a link nor
// waits on a pipe, and never truncates: the file may be another save's.
// Always for writing, even a file that is only to be replaced: no save goes
// over a file the player may not write, and the open asks the kernel.
int lockName(int dir, const std::string& name, Use use, Deadline deadline, std::error_code& error) {
    const int flags = O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_RDWR;
    for (;;) {
        Descriptor file;
        bool existed = use != Use::Temporary;
        if (!existed) {
            file.reset(::openat(dir, name.c_str(), flags | O_CREAT | O_EXCL, 0666));
            existed = !file.open() && errno == EEXIST;
        }
        if (existed)
            file.reset(::openat(dir, name.c_str(), flags));
        struct stat held {}, named {};
        if (!file.open() && errno == ELOOP)
            return failFd(error, notARegularFile());
        if (!file.open() && errno == EACCES && use == Use::Temporary && existed)
            return failFd(error, foreignTemporaryFile());
        // A temporary file renamed away between the two opens is tried again.
        if (!file.open() && (errno != ENOENT || use != Use::Temporary))
            return failFdWithErrno(error);
        if (file.open()) {
            if (::fstat(file.fd, &held) != 0)
                return failFdWithErrno(error);
            if (!S_ISREG(held.st_mode))
                return failFd(error, notARegularFile());
            // Ours are the player's and have one name until renamed.
            if (use == Use::Temporary && held.st_uid != ::geteuid())
                return failFd(error, foreignTemporaryFile());
            const bool locked = ::flock(file.fd, LOCK_EX | LOCK_NB) == 0;
            if (!locked && errno != EWOULDBLOCK)
                return failFdWithErrno(error);
            if (locked && ::fstatat(dir, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
                named.st_dev == held.st_dev && named.st_ino == held.st_ino) {
                if (held.st_nlink == 1 || use == Use::Replaced)
                    return std::exchange(file.fd, -1);
                if (use == Use::InPlace)
                    return failFd(error, std::make_error_code(std::errc::too_many_links));
                // A name planted beside ours: dropped under the lock, so no
                // other save loses its file, and a fresh file made next time.
                if (::unlinkat(dir, name.c_str(), 0) != 0)
                    return failFdWithErrno(error);
            }
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return failFd(error, std::make_error_code(std::errc::operation_would_block));
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

// The text at the start of the file and nothing after it.
bool writeWhole(int fd, const std::string& text, std::error_code& error) {
    for (std::size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::pwrite(fd, text.data() + done, text.size() - done, static_cast<off_t>(done));
        if (wrote < 0 && errno != EINTR)
            return failWithErrno(error);
        done += wrote > 0 ? static_cast<std::size_t>(wrote) : 0;
    }
    return ::ftruncate(fd, static_cast<off_t>(text.size())) == 0 || failWithErrno(error);
}

// Fills the locked temporary file, gives it the old file's mode and owner and
// renames it over the target, flushed to disk before and after.
bool replace(int temp, int old, int dir, const std::string& tempName, const std::string& name,
             const std::string& text, std::error_code& error) {
    if (!writeWhole(temp, text, error))
        return false;
    struct stat was {};
    if (old >= 0 && ::fstat(old, &was) == 0) {
        // Only root may give the file back to another owner.
        if (::fchown(temp, was.st_uid, was.st_gid) != 0 && errno != EPERM)
            return failWithErrno(error);
        if (::fchmod(temp, was.st_mode & 07777) != 0)
            return failWithErrno(error);
    }
    if (::fsync(temp) != 0 || ::renameat(dir, tempName.c_str(), dir, name.c_str()) != 0)
        return failWithErrno(error);
    // The new table is in place by now; a folder that refuses to sync (some
    // file systems do) does not undo that.
    const Descriptor folder(::openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.open())
        static_cast<void>(::fsync(folder.fd));
    return true;
}

}  // namespace

std::optional<std::vector<HighScoreEntry>> readScoreFile(const fs::path& path, std::error_code& error) {
    // Non-blocking, so a pipe under the name cannot hold the game up.
    const Descriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (!file.open() || ::fstat(file.fd, &info) != 0) {
        if (errno == ENOENT)  // no file yet, nothing lost
            return std::vector<HighScoreEntry>();
        failWithErrno(error);
        return std::nullopt;
    }
    std::vector<HighScoreEntry> table;
    if (!S_ISREG(info.st_mode))
        error = notARegularFile();
    else if (readTable(file.fd, table, error))
        return table;
    return std::nullopt;
}

std::optional<std::vector<HighScoreEntry>> recordScoreInFile(const fs::path& path,
                                                             const RunScores& run, std::error_code& error) {
    error.clear();
    Descriptor dir;
    std::string name;
    if (!openTarget(path, dir, name, error))
        return std::nullopt;
    const Deadline deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    const std::string tempName = scoreTempPath(name).string();
    // The temporary file is the lock among saves that replace the file.
    const Descriptor temp(lockName(dir.fd, tempName, Use::Temporary, deadline, error));
    // In a folder the player may not write, the file is rewritten in place.
    const bool inPlace = !temp.open() && error == std::errc::permission_denied;
    if (!temp.open() && !inPlace)
        return std::nullopt;
    error.clear();
    // The file's own lock keeps in-place saves and replacing saves apart.
    const Descriptor file(lockName(dir.fd, name, inPlace ? Use::InPlace : Use::Replaced, deadline, error));
    if (inPlace && error == std::errc::no_such_file_or_directory)
        error = std::make_error_code(std::errc::permission_denied);  // nor may it be created
    std::vector<HighScoreEntry> table;
    bool saved = (file.open() || (!inPlace && error == std::errc::no_such_file_or_directory)) &&
                 (!file.open() || readTable(file.fd, table, error));
    if (saved) {
        error.clear();
        table = mergeRunScores(std::move(table), run);
        const std::string text = formatScoreText(table);
        saved = inPlace ? writeWhole(file.fd, text, error) && (::fsync(file.fd) == 0 || failWithErrno(error))
                        : replace(temp.fd, file.fd, dir.fd, tempName, name, text, error);
    }
    // Removed while still locked, so no other save is using it.
    if (!saved && temp.open())
        ::unlinkat(dir.fd, tempName.c_str(), 0);
    return saved ? std::optional<std::vector<HighScoreEntry>>(std::move(table)) : std::nullopt;
}
