#include "scores/ScoreFile.hpp"

#include <algorithm>
#include <fstream>
#include <locale>
#include <sstream>
#include <system_error>
#include <utility>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

long currentProcessId() {
#ifdef _WIN32
    return static_cast<long>(_getpid());
#else
    return static_cast<long>(getpid());
#endif
}

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

std::optional<std::string> readScoreFile(const fs::path& path, std::size_t maxBytes) {
    // Look before opening: opening a pipe would wait for a writer, and a
    // folder or a device is never a score file.
    std::error_code ec;
    if (!fs::is_regular_file(fs::status(path, ec)))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    // One byte more than allowed tells whether the file goes on.
    std::string text(maxBytes + 1, '\0');
    in.read(&text[0], static_cast<std::streamsize>(text.size()));
    if (in.bad())
        return std::nullopt;
    const std::size_t got = static_cast<std::size_t>(in.gcount());
    text.resize(got);
    if (got > maxBytes) {
        // The line at the cut was never seen whole; keep only complete lines.
        text.resize(maxBytes);
        const std::size_t lastLineFeed = text.rfind('\n');
        text.resize(lastLineFeed == std::string::npos ? 0 : lastLineFeed + 1);
    }
    return text;
}

std::vector<HighScoreEntry> loadScoreFile(const fs::path& path) {
    const std::optional<std::string> text = readScoreFile(path);
    if (!text)
        return {};
    return parseScoreText(*text);
}

fs::path scoreTempPath(const fs::path& target) {
    fs::path temp = target;
    temp += ".tmp-" + std::to_string(currentProcessId());
    return temp;
}

bool writeScoreFile(const fs::path& target, const std::string& text) {
    const fs::path temp = scoreTempPath(target);
    std::error_code ec;
    // A leftover temporary file from a crashed run may be overwritten, but
    // never something else that happens to have its name (a link would be
    // written through, a pipe would block).
    const fs::file_status existing = fs::symlink_status(temp, ec);
    if (fs::exists(existing) && !fs::is_regular_file(existing))
        return false;

    bool written = false;
    {
        // Text mode: the platform's own line ends, as players' editors expect.
        std::ofstream out(temp, std::ios::trunc);
        if (!out)
            return false;
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        out.flush();
        written = out.good();
        out.close();
        written = written && !out.fail();
    }
    if (written) {
        fs::rename(temp, target, ec);
        if (!ec)
            return true;
    }
    std::error_code ignored;
    fs::remove(temp, ignored);
    return false;
}
