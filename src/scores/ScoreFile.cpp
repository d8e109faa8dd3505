#include "scores/ScoreFile.hpp"
#include "scores/ScoreFileDetail.hpp"

#include <algorithm>
#include <locale>
#include <sstream>
#include <utility>

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

namespace score_file_detail {

std::error_code notARegularFile() {
    return std::make_error_code(std::errc::invalid_argument);
}

std::string completeLines(std::string text, std::size_t maxBytes) {
    if (text.size() > maxBytes) {
        text.resize(maxBytes);
        const std::size_t lastLineFeed = text.rfind('\n');
        text.resize(lastLineFeed == std::string::npos ? 0 : lastLineFeed + 1);
    }
    return text;
}

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

}  // namespace score_file_detail

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
