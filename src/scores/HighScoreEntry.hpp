#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One row of the high-score table.
struct HighScoreEntry {
    std::string name;
    std::int32_t score = 0;
};

// The results one run of the game has recorded, each list best first as
// insertScore keeps it.
struct RunScores {
    std::vector<HighScoreEntry> written;    // saved, so in the file unless it changed since
    std::vector<HighScoreEntry> unwritten;  // not saved yet: the one being saved, and any that failed
};
