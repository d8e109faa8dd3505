// Helpers shared by the test files.
#pragma once

#include <filesystem>
#include <string>

namespace testing_support {

// A fresh empty folder, removed again with everything in it.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Makes a folder the working directory for its lifetime, so a Game built in a
// test reads and writes its score file there and nowhere else.
class ScopedWorkingDir {
public:
    explicit ScopedWorkingDir(const std::filesystem::path& dir);
    ~ScopedWorkingDir();
    ScopedWorkingDir(const ScopedWorkingDir&) = delete;
    ScopedWorkingDir& operator=(const ScopedWorkingDir&) = delete;

private:
    std::filesystem::path previous_;
};

// Writes a file whole, bytes as given.
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Reads a file whole; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// A TrueType font that exists on this machine (DejaVu Sans Mono).
std::string anyFontPath();

}  // namespace testing_support
