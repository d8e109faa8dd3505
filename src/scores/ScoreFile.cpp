#include "scores/ScoreFile.hpp"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <locale>
#include <sstream>
#include <utility>

#ifndef _WIN32
#include <chrono>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

// Parses one line with a stream the caller may reuse: building a stream per
// line costs far more than the parsing itself.
std::optional<HighScoreEntry> parseLineWith(std::istringstream& in, const std::string& line) {
    in.clear();
    in.str(line);
    std::int32_t score = 0;
    if (!(in >> score))
        return std::nullopt;
    std::string name;
    // At the end of the line this read fails and leaves the name empty.
    std::getline(in, name);
    // The writer puts exactly one space before the name, so a name that
    // itself begins with a space survives the round trip.
    if (!name.empty() && name.front() == ' ')
        name.erase(0, 1);
    return HighScoreEntry{std::move(name), score};
}

std::istringstream makeLineStream() {
    std::istringstream in;
    // A global locale with digit grouping must not change what a number is.
    in.imbue(std::locale::classic());
    return in;
}

}  // namespace

std::optional<HighScoreEntry> parseScoreLine(const std::string& line) {
    std::istringstream in = makeLineStream();
    return parseLineWith(in, line);
}

std::vector<HighScoreEntry> parseScoreText(const std::string& text) {
    std::vector<HighScoreEntry> table;
    std::istringstream in = makeLineStream();
    std::string line;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineFeed = text.find('\n', start);
        std::size_t end = lineFeed == std::string::npos ? text.size() : lineFeed;
        // Files written on Windows end their lines with "\r\n".
        if (lineFeed != std::string::npos && end > start && text[end - 1] == '\r')
            --end;
        line.assign(text, start, end - start);
        if (std::optional<HighScoreEntry> entry = parseLineWith(in, line))
            insertScore(table, std::move(*entry));
        if (lineFeed == std::string::npos)
            break;
        start = lineFeed + 1;
    }
    return table;
}

std::string formatScoreText(const std::vector<HighScoreEntry>& table) {
    std::string text;
    for (const HighScoreEntry& entry : table) {
        text += std::to_string(entry.score);
        text += ' ';
        text += entry.name;
        text += '\n';
    }
    return text;
}

void insertScore(std::vector<HighScoreEntry>& table, HighScoreEntry entry) {
    table.push_back(std::move(entry));
    // Stable, so the newcomer stays below the entries it ties with.
    std::stable_sort(table.begin(), table.end(),
                     [](const HighScoreEntry& a, const HighScoreEntry& b) {
                         return a.score > b.score;
                     });
    if (table.size() > kMaxHighScores)
        table.resize(kMaxHighScores);
}

bool qualifiesForTable(const std::vector<HighScoreEntry>& table, std::int32_t score) {
    if (table.size() < kMaxHighScores)
        return score > 0;
    return score > table[kMaxHighScores - 1].score;
}

namespace {

const std::error_code kNotAFile = std::make_error_code(std::errc::invalid_argument);

// The first maxBytes of what was read. When the file went on, the line at the
// cut was never seen whole, so only complete lines are kept.
std::string completeLines(std::string text, std::size_t maxBytes) {
    if (text.size() > maxBytes) {
        text.resize(maxBytes);
        const std::size_t lastLineFeed = text.rfind('\n');
        text.resize(lastLineFeed == std::string::npos ? 0 : lastLineFeed + 1);
    }
    return text;
}

// The file a path names once symbolic links are followed: a save writes to
// the target and leaves the link a link.
fs::path resolveLinks(fs::path path, std::error_code& error) {
    for (int hop = 0; hop < 40; ++hop) {
        std::error_code ignored;
        if (!fs::is_symlink(fs::symlink_status(path, ignored)))
            return path;
        const fs::path link = fs::read_symlink(path, error);
        if (error)
            return {};
        path = link.is_absolute() ? link : path.parent_path() / link;
    }
    error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

}  // namespace

std::optional<std::vector<HighScoreEntry>> tableWith(const fs::path& target, const HighScoreEntry& entry,
                                                     std::error_code& error) {
    const std::optional<std::string> text = readScoreFile(target, error);
    if (!text)
        return std::nullopt;
    std::vector<HighScoreEntry> table = parseScoreText(*text);
    insertScore(table, entry);
    return table;
}

fs::path scoreTempPath(const fs::path& target) {
    fs::path temp = target;
    temp += ".tmp";
    return temp;
}

std::vector<HighScoreEntry> loadScoreFile(const fs::path& path) {
    std::error_code error;
    const std::optional<std::string> text = readScoreFile(path, error);
    // Start-up shows an empty table either way; only a save must tell an
    // unreadable file from a missing one.
    return text ? parseScoreText(*text) : std::vector<HighScoreEntry>{};
}

#ifndef _WIN32

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
            error = kNotAFile;
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
        error = kNotAFile;
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

#else

std::optional<std::string> readScoreFile(const fs::path& path, std::error_code& error,
                                         std::size_t maxBytes) {
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        error.clear();
        return std::string();
    }
    if (error)
        return std::nullopt;
    if (!fs::is_regular_file(status)) {
        error = kNotAFile;
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text(maxBytes + 1, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    if (!in.is_open() || in.bad()) {
        error.assign(errno, std::generic_category());
        return std::nullopt;
    }
    text.resize(static_cast<std::size_t>(in.gcount()));
    return completeLines(std::move(text), maxBytes);
}

// No advisory locks here: the table read a moment before is written back
// through a temporary file.
std::optional<std::vector<HighScoreEntry>> recordScoreInFile(const fs::path& path,
                                                             const HighScoreEntry& entry,
                                                             std::error_code& error) {
    error.clear();
    const fs::path target = resolveLinks(path, error);
    std::optional<std::vector<HighScoreEntry>> found =
        error ? std::nullopt : tableWith(target, entry, error);
    if (!found)
        return std::nullopt;
    const std::vector<HighScoreEntry>& table = *found;
    const fs::path temp = scoreTempPath(target);
    {
        // Text mode: the platform's own line ends, as players' editors expect.
        std::ofstream out(temp, std::ios::trunc);
        out << formatScoreText(table);
        out.close();
        if (out.fail())
            error = std::make_error_code(std::errc::io_error);
    }
    if (!error)
        fs::rename(temp, target, error);
    if (!error)
        return table;
    std::error_code ignored;
    fs::remove(temp, ignored);
    return std::nullopt;
}

#endif
