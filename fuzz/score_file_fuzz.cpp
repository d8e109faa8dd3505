// Feeds arbitrary bytes to the score file parser and checks what must hold
// for every input, including against a small independent reading of the
// same format.
#include "scores/ScoreFile.hpp"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

namespace {

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "score_file_fuzz: %s\n", what);
        std::abort();
    }
}

bool sameTable(const std::vector<HighScoreEntry>& a, const std::vector<HighScoreEntry>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].score != b[i].score || a[i].name != b[i].name)
            return false;
    }
    return true;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The line rule spelled out by hand: blanks, an optional sign, at least one
// digit, a value that fits in 32 bits; then one space off the name. Lines
// over-long as read or as written back the caller skips.
bool referenceLine(const std::string& line, HighScoreEntry& entry) {
    std::size_t i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) {
        negative = line[i] == '-';
        ++i;
    }
    const std::size_t firstDigit = i;
    long long magnitude = 0;
    bool tooBig = false;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') {
        if (!tooBig) {
            magnitude = magnitude * 10 + (line[i] - '0');
            if (magnitude > 2147483648LL)
                tooBig = true;
        }
        ++i;
    }
    if (i == firstDigit || tooBig)
        return false;
    const long long value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX || value < INT32_MIN)
        return false;
    entry.score = static_cast<std::int32_t>(value);
    entry.name = line.substr(i);
    if (!entry.name.empty() && entry.name.front() == ' ')
        entry.name.erase(0, 1);
    return true;
}

std::vector<HighScoreEntry> referenceTable(const std::string& text) {
    std::vector<HighScoreEntry> all;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lineFeed = text.find('\n', start);
        std::string line = text.substr(start, lineFeed == std::string::npos
                                                  ? std::string::npos
                                                  : lineFeed - start);
        if (lineFeed != std::string::npos && !line.empty() && line.back() == '\r')
            line.pop_back();
        HighScoreEntry entry;
        if (line.size() <= kMaxScoreLineBytes && referenceLine(line, entry) &&
            std::to_string(entry.score).size() + 1 + entry.name.size() <= kMaxScoreLineBytes)
            all.push_back(entry);
        if (lineFeed == std::string::npos)
            break;
        start = lineFeed + 1;
    }
    std::stable_sort(all.begin(), all.end(),
                     [](const HighScoreEntry& a, const HighScoreEntry& b) { return a.score > b.score; });
    if (all.size() > 5)
        all.resize(5);
    return all;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

void checkInsertion(const std::vector<HighScoreEntry>& table, std::int32_t score) {
    // Parsed names never hold a line feed, so this one is unmistakable.
    const std::string marker = "\nnew";
    std::vector<HighScoreEntry> after = table;
    insertScore(after, HighScoreEntry{marker, score});
    require(after.size() <= kMaxHighScores, "insertion overfills the table");
    require(std::is_sorted(after.begin(), after.end(),
                           [](const HighScoreEntry& a, const HighScoreEntry& b) {
                               return a.score > b.score;
                           }),
            "insertion breaks the order");

    const auto found = std::find_if(after.begin(), after.end(),
                                    [&](const HighScoreEntry& e) { return e.name == marker; });
    const bool kept = found != after.end();
    const bool qualifies = qualifiesForTable(table, score);
    if (table.size() < kMaxHighScores) {
        require(kept, "an entry is lost while the table has room");
        require(qualifies == (score > 0), "admission with room is not score > 0");
    } else {
        require(kept == qualifies, "admission disagrees with what insertion keeps");
        if (!kept)
            require(sameTable(after, table), "a rejected entry changed the table");
    }
    if (kept) {
        const auto ahead = std::count_if(table.begin(), table.end(),
                                         [&](const HighScoreEntry& e) { return e.score >= score; });
        require(found - after.begin() == ahead, "new entry not directly below its equals");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::vector<HighScoreEntry> table = parseScoreText(text);

    require(table.size() <= kMaxHighScores, "more than five entries");
    for (std::size_t i = 1; i < table.size(); ++i)
        require(table[i - 1].score >= table[i].score, "not sorted best first");
    for (const HighScoreEntry& entry : table)
        require(entry.name.find('\n') == std::string::npos, "line feed inside a name");

    require(sameTable(table, referenceTable(text)), "differs from the reference reading");

    // Fed in pieces, as a file is read, the bytes give the same table.
    ScoreTableReader reader;
    const std::size_t piece = 1 + size % 13;
    for (std::size_t at = 0; at < size; at += piece)
        reader.feed(text.data() + at, std::min(piece, size - at));
    require(sameTable(reader.finish(), table), "reading in pieces differs");

    // Line ends written as "\r\n" read exactly like "\n" (checked on the
    // input without its own carriage returns, which may end names).
    std::string bare = text;
    bare.erase(std::remove(bare.begin(), bare.end(), '\r'), bare.end());
    require(sameTable(parseScoreText(bare), parseScoreText(withCrLf(bare))),
            "CRLF reads differently");

    // Writing and reading back gives the same table, unless a name ends in
    // '\r', which the reader rightly takes for part of the line end.
    const bool endsInCr = std::any_of(table.begin(), table.end(), [](const HighScoreEntry& e) {
        return !e.name.empty() && e.name.back() == '\r';
    });
    const std::string written = formatScoreText(table);
    require(static_cast<std::size_t>(std::count(written.begin(), written.end(), '\n')) == table.size(),
            "not one line per entry");
    if (!endsInCr)
        require(sameTable(parseScoreText(written), table), "round trip changes the table");

    std::vector<std::int32_t> candidates = {INT32_MIN, -1, 0, 1, INT32_MAX};
    for (const HighScoreEntry& entry : table) {
        candidates.push_back(entry.score);
        if (entry.score > INT32_MIN)
            candidates.push_back(entry.score - 1);
        if (entry.score < INT32_MAX)
            candidates.push_back(entry.score + 1);
    }
    for (std::int32_t score : candidates)
        checkInsertion(table, score);
    return 0;
}
