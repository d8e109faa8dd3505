// Score file benchmark: loads a score file of over 100 MB in two shapes,
// random scores (nearly every line is too low to enter the table) and rising
// scores (every line enters it, the most work a line can cost). The file is
// written just before, so it is read from the page cache. Prints the median,
// fastest and slowest of five loads.
//
// Usage: tundrel_score_bench [folder]   (default: the temporary folder)
#include "scores/ScoreFile.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::uintmax_t kFileBytes = (100u << 20) + 1;

std::size_t writeScoreFile(const fs::path& file, bool rising) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    std::minstd_rand draw(7);
    std::string line;
    std::size_t lines = 0;
    for (std::uintmax_t written = 0; written < kFileBytes; written += line.size(), ++lines) {
        const long score = rising ? static_cast<long>(lines) : static_cast<long>(draw() % 100000);
        line = std::to_string(score) + ' ' + std::string(1 + draw() % 12, static_cast<char>('a' + draw() % 26)) + '\n';
        out << line;
    }
    return lines;
}

}  // namespace

int main(int argc, char** argv) {
    const fs::path folder = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    for (const bool rising : {false, true}) {
        const fs::path file = folder / "tundrel-score-bench.txt";
        const std::size_t lines = writeScoreFile(file, rising);
        std::vector<double> ms;
        std::size_t entries = 0;
        for (int run = 0; run < 5; ++run) {
            const auto start = std::chrono::steady_clock::now();
            entries = loadScoreFile(file).size();
            ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("%-14s %.1f MB, %zu lines, %zu entries: load median %.0f ms (%.0f to %.0f ms)\n",
                    rising ? "rising scores" : "random scores", static_cast<double>(fs::file_size(file)) / 1e6,
                    lines, entries, ms[2], ms.front(), ms.back());
        fs::remove(file);
    }
    return 0;
}
