// The high-score table as text and as a file. No SFML here: the fuzz target
// builds this on its own.
#pragma once

#include "scores/HighScoreEntry.hpp"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

inline constexpr std::size_t kMaxHighScores = 5;
inline constexpr const char* kScoreFileName = "tundrel_score.txt";

// A real table is a few hundred bytes; anything past this is not ours.
inline constexpr std::size_t kMaxScoreFileBytes = 64 * 1024;

// One line of the file, without its line end: a signed 32-bit score by
// formatted extraction, then the rest of the line as the name with one
// leading space removed. Empty when the line does not start with a number
// that fits.
std::optional<HighScoreEntry> parseScoreLine(const std::string& line);

// The whole file's text as a table: lines split at '\n' (one '\r' right
// before it belongs to the line end), malformed lines skipped, best first,
// equal scores in file order, at most kMaxHighScores entries.
std::vector<HighScoreEntry> parseScoreText(const std::string& text);

// "score name\n" per entry, in table order, '\n' line ends only.
std::string formatScoreText(const std::vector<HighScoreEntry>& table);

// Adds an entry below every entry with the same or a higher score, then
// drops whatever falls past the fifth place.
void insertScore(std::vector<HighScoreEntry>& table, HighScoreEntry entry);

// Whether a finished game's score earns a place: above 0 while the table has
// room, strictly above the fifth score once it is full.
bool qualifiesForTable(const std::vector<HighScoreEntry>& table, std::int32_t score);

// The file's bytes, at most maxBytes of them; a file longer than that is cut
// back to its last complete line. A missing file reads as empty text. Empty,
// with the system's reason in error, when the file is there but cannot be
// read or is not a regular file (a folder, a pipe, a device).
std::optional<std::string> readScoreFile(const std::filesystem::path& path, std::error_code& error,
                                         std::size_t maxBytes = kMaxScoreFileBytes);

// The table a save writes: the file as it is now, with the entry inserted.
// Empty, with the reason in error, when the file cannot be read.
std::optional<std::vector<HighScoreEntry>> tableWith(const std::filesystem::path& target,
                                                     const HighScoreEntry& entry, std::error_code& error);

// readScoreFile then parseScoreText; an empty table when there is nothing to read.
std::vector<HighScoreEntry> loadScoreFile(const std::filesystem::path& path);

// Where a save stages the new text: beside the file, under one fixed name, so
// a crash leaves at most one behind and the next save reuses it.
std::filesystem::path scoreTempPath(const std::filesystem::path& target);

// Records one result: under an advisory lock (waiting up to two seconds),
// reads the file as it is now, inserts the entry and replaces the file whole
// through the temporary file. A symbolic link is written through; the old
// mode and owner are kept. Returns the table written, or nothing, with the
// reason in error, when any step fails; the file is then left as it was.
std::optional<std::vector<HighScoreEntry>> recordScoreInFile(const std::filesystem::path& path,
                                                             const HighScoreEntry& entry,
                                                             std::error_code& error);
