#pragma once

#include <cstdint>
#include <string>

// One row of the high-score table.
struct HighScoreEntry {
    std::string name;
    std::int32_t score = 0;
};
