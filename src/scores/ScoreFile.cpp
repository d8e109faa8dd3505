#include "scores/ScoreFile.hpp"
#include "scores/ScoreFileDetail.hpp"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace fs = std::filesystem;

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The formatted extraction of a signed 32-bit number in the classic locale:
// blanks, an optional sign, digits up to the first non-digit, a value that
// fits. By hand, since a stream per line costs far more than the file's I/O.
bool parseScore(std::string_view line, std::int32_t& score, std::size_t& end) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    const bool negative = i < line.size() && line[i] == '-';
    if (i < line.size() && (line[i] == '-' || line[i] == '+'))
        ++i;
    const std::size_t firstDigit = i;
    std::int64_t magnitude = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        magnitude = magnitude * 10 + (line[i] - '0');
        if (magnitude > std::int64_t{INT32_MAX} + 1)
            return false;
    }
    if (i == firstDigit || (!negative && magnitude > INT32_MAX))
        return false;
    score = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    end = i;
    return true;
}

}  // namespace

void ScoreTableReader::feed(const char* data, std::size_t size) {
    // Notepad's "UTF-8 with BOM" opens the file with the mark EF BB BF: an
    // encoding marker, not part of the first line. It may come split over pieces.
    static constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
    for (; !pastStart_ && size > 0; ++data, --size) {
        if (*data != kByteOrderMark[markBytes_]) {
            pastStart_ = true;
            line_.append(kByteOrderMark, markBytes_);  // only the start of one: text after all
            break;
        }
        pastStart_ = ++markBytes_ == 3;
    }
    const char* const end = data + size;
    while (data < end) {
        const char* lineFeed = static_cast<const char*>(std::memchr(data, '\n', static_cast<std::size_t>(end - data)));
        const char* const stop = lineFeed ? lineFeed : end;
        const std::size_t length = static_cast<std::size_t>(stop - data);
        if (lineFeed && line_.empty() && !overLong_) {
            // The whole line is in this piece: no copy.
            endLine({data, length}, true);
        } else {
            // One byte over the limit may be a '\r' that belongs to the line end.
            overLong_ = overLong_ || line_.size() + length > kMaxScoreLineBytes + 1;
            if (!overLong_)
                line_.append(data, length);
            if (lineFeed) {
                if (!overLong_)
                    endLine(line_, true);
                line_.clear();
                overLong_ = false;
            }
        }
        data = lineFeed ? lineFeed + 1 : end;
    }
}

std::vector<HighScoreEntry> ScoreTableReader::finish() {
    if (!line_.empty() && !overLong_)
        endLine(line_, false);
    line_.clear();
    overLong_ = false;
    pastStart_ = false;
    markBytes_ = 0;
    return std::move(table_);
}

void ScoreTableReader::endLine(std::string_view line, bool lineFeed) {
    // Files written on Windows end their lines with "\r\n".
    if (lineFeed && !line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    std::int32_t score = 0;
    std::size_t nameStart = 0;
    if (line.size() > kMaxScoreLineBytes || !parseScore(line, score, nameStart))
        return;
    // Most lines of a long file cannot enter; their names are never copied.
    if (table_.size() == kMaxHighScores && score <= table_.back().score)
        return;
    // The writer puts exactly one space before the name, so a name that
    // itself begins with a space survives the round trip.
    if (nameStart < line.size() && line[nameStart] == ' ')
        ++nameStart;
    // Kept, a line must still fit once written back with that space, or the
    // next read would lose it.
    if (std::to_string(score).size() + 1 + (line.size() - nameStart) > kMaxScoreLineBytes)
        return;
    insertScore(table_, {std::string(line.substr(nameStart)), score});
}

std::vector<HighScoreEntry> parseScoreText(const std::string& text) {
    ScoreTableReader reader;
    reader.feed(text.data(), text.size());
    return reader.finish();
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
    // After the last entry with the same or a higher score.
    const auto place = std::upper_bound(table.begin(), table.end(), entry.score,
                                        [](std::int32_t score, const HighScoreEntry& e) {
                                            return score > e.score;
                                        });
    if (place - table.begin() >= static_cast<std::ptrdiff_t>(kMaxHighScores))
        return;
    table.insert(place, std::move(entry));
    if (table.size() > kMaxHighScores)
        table.resize(kMaxHighScores);
}

bool qualifiesForTable(const std::vector<HighScoreEntry>& table, std::int32_t score) {
    if (table.size() < kMaxHighScores)
        return score > 0;
    return score > table[kMaxHighScores - 1].score;
}

namespace score_file_detail {

namespace {

class ScoreFileCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "score file"; }
    std::string message(int code) const override {
        return code == 1 ? "not a regular file" : "the temporary file belongs to another user";
    }
};

const ScoreFileCategory category;

}  // namespace

std::error_code notARegularFile() {
    return {1, category};
}

std::error_code foreignTemporaryFile() {
    return {2, category};
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

std::vector<HighScoreEntry> mergeRunScores(std::vector<HighScoreEntry> file, const RunScores& run) {
    // Each entry of the file stands for at most one written result.
    std::vector<HighScoreEntry> unclaimed = file;
    std::vector<HighScoreEntry> lost;
    for (const HighScoreEntry& entry : run.written) {
        const auto same = std::find_if(unclaimed.begin(), unclaimed.end(), [&](const HighScoreEntry& e) {
            return e.score == entry.score && e.name == entry.name;
        });
        if (same != unclaimed.end())
            unclaimed.erase(same);
        else
            lost.push_back(entry);
    }
    // The written were recorded first: equal scores keep the order of recording.
    lost.insert(lost.end(), run.unwritten.begin(), run.unwritten.end());
    for (HighScoreEntry& entry : lost)
        insertScore(file, std::move(entry));
    return file;
}

std::optional<std::vector<HighScoreEntry>> tableWith(const fs::path& target, const RunScores& run,
                                                     std::error_code& error) {
    std::optional<std::vector<HighScoreEntry>> table = readScoreFile(target, error);
    if (table)
        table = mergeRunScores(std::move(*table), run);
    return table;
}

fs::path scoreTempPath(const fs::path& target) {
    fs::path temp = target;
    temp += ".tmp";
    return temp;
}

std::vector<HighScoreEntry> loadScoreFile(const fs::path& path) {
    std::error_code error;
    std::optional<std::vector<HighScoreEntry>> table = readScoreFile(path, error);
    // Start-up shows an empty table either way; only a save must tell an
    // unreadable file from a missing one.
    return table ? std::move(*table) : std::vector<HighScoreEntry>{};
}
