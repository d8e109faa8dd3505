// Reading and saving the score file on Windows.
#include "scores/ScoreFile.hpp"
#include "scores/ScoreFileDetail.hpp"

#include <cerrno>
#include <fstream>

namespace fs = std::filesystem;
using namespace score_file_detail;

std::optional<std::vector<HighScoreEntry>> readScoreFile(const fs::path& path, std::error_code& error) {
    const fs::file_status status = fs::status(path, error);
    if (status.type() == fs::file_type::not_found) {
        error.clear();
        return std::vector<HighScoreEntry>();
    }
    if (error)
        return std::nullopt;
    if (!fs::is_regular_file(status)) {
        error = notARegularFile();
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    ScoreTableReader reader;
    std::vector<char> chunk(64 * 1024);
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0)
        reader.feed(chunk.data(), static_cast<std::size_t>(in.gcount()));
    if (!in.is_open() || in.bad()) {
        error.assign(errno, std::generic_category());
        return std::nullopt;
    }
    return reader.finish();
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
