// Pieces the platforms' halves of the score file share.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>

namespace score_file_detail {

// How much of the file one read takes: the reader holds a line, not the file.
inline constexpr std::size_t kReadChunkBytes = 64 * 1024;

// The reason given when something other than a plain file has the name.
std::error_code notARegularFile();

// The reason given when the temporary file's name holds another user's file.
std::error_code foreignTemporaryFile();

// The file a path names once symbolic links are followed: a save writes to
// the target and leaves the link a link.
std::filesystem::path resolveLinks(std::filesystem::path path, std::error_code& error);

}  // namespace score_file_detail
