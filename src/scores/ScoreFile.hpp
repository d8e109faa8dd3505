// The high-score table as text and as a file. No SFML here: the fuzz target
// builds this on its own.
#pragma once

#include "scores/HighScoreEntry.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

inline constexpr std::size_t kMaxHighScores = 5;
inline constexpr const char* kScoreFileName = "tundrel_score.txt";

// A real line is a score and a name of a dozen letters; a longer one is not
// ours and is skipped to its end.
inline constexpr std::size_t kMaxScoreLineBytes = 1024;

// Builds the table from a file's bytes as they arrive, in pieces of any size;
// a leading UTF-8 byte-order mark is skipped. It holds one line of at most
// kMaxScoreLineBytes and the best five, so a file of any length reads in
// bounded memory.
class ScoreTableReader {
public:
    void feed(const char* data, std::size_t size);
    // Takes in a last line that has no line feed; the table, best first.
    std::vector<HighScoreEntry> finish();

private:
    void endLine(std::string_view line, bool lineFeed);

    std::vector<HighScoreEntry> table_;
    std::string line_;
    bool overLong_ = false;
    bool pastStart_ = false;     // the byte-order mark, if any, is behind us
    std::size_t markBytes_ = 0;  // how much of it has come so far
};

// The whole file's text as a table: lines split at '\n' (one '\r' right
// before it belongs to the line end), malformed and over-long lines skipped
// (as read, or as they would be written back), best first,
// equal scores in file order, at most kMaxHighScores entries.
std::vector<HighScoreEntry> parseScoreText(const std::string& text);

// "score name\n" per entry, in table order, '\n' line ends only.
std::string formatScoreText(const std::vector<HighScoreEntry>& table);

// Adds an entry to a table sorted best first, below every entry with the
// same or a higher score, then drops whatever falls past the fifth place.
void insertScore(std::vector<HighScoreEntry>& table, HighScoreEntry entry);

// Whether a finished game's score earns a place: above 0 while the table has
// room, strictly above the fifth score once it is full.
bool qualifiesForTable(const std::vector<HighScoreEntry>& table, std::int32_t score);

// The table in a file, every line of it read. A missing file reads as an
// empty table. Empty, with the reason in error, when the file is there but
// cannot be read or is not a regular file (a folder, a pipe, a device).
std::optional<std::vector<HighScoreEntry>> readScoreFile(const std::filesystem::path& path,
                                                         std::error_code& error);

// What a save writes: the file's table with every result of the run put in,
// bar those five better ones outrank. A written result goes in again only
// where the file no longer holds it (the player cleared it, say); one never
// written always goes in. The file's own entries follow the file.
std::vector<HighScoreEntry> mergeRunScores(std::vector<HighScoreEntry> file, const RunScores& run);

// The table a save writes: the file as it is now, merged with the run's
// results. Empty, with the reason in error, when the file cannot be read.
std::optional<std::vector<HighScoreEntry>> tableWith(const std::filesystem::path& target,
                                                     const RunScores& run, std::error_code& error);

// readScoreFile; an empty table when there is nothing to read.
std::vector<HighScoreEntry> loadScoreFile(const std::filesystem::path& path);

// Where a save stages the new text: beside the file, under one fixed name, so
// a crash leaves at most one behind and the next save reuses it.
std::filesystem::path scoreTempPath(const std::filesystem::path& target);

// Records the run's results: under an advisory lock (waiting up to two
// seconds), reads the file as it is now, merges the results in and replaces
// the file whole through the temporary file, or rewrites it in place when its
// folder may not be written. A file the player may not write fails the save
// either way. A symbolic link is written through where the system itself
// would follow it; the old mode bits and owner are kept. Returns the table
// written, or nothing, with the reason in error, when any step fails.
std::optional<std::vector<HighScoreEntry>> recordScoreInFile(const std::filesystem::path& path,
                                                             const RunScores& run, std::error_code& error);

// One result alone, as a run's first save records it.
inline std::optional<std::vector<HighScoreEntry>> recordScoreInFile(const std::filesystem::path& path,
                                                                    const HighScoreEntry& entry,
                                                                    std::error_code& error) {
    return recordScoreInFile(path, RunScores{{}, {entry}}, error);
}
