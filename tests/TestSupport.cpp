#include "TestSupport.hpp"

#include "app/Fonts.hpp"

#include <SFML/System/Err.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

namespace testing_support {

namespace fs = std::filesystem;

ScopedTempDir::ScopedTempDir() {
    std::random_device device;
    const fs::path base = fs::temp_directory_path();
    for (;;) {
        path_ = base / ("tundrel-test-" + std::to_string(device()));
        if (fs::create_directory(path_))
            break;
    }
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ec;
    // A test may have taken write permission away; give it back first.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

ScopedWorkingDir::ScopedWorkingDir(const fs::path& dir) : previous_(fs::current_path()) {
    fs::current_path(dir);
}

ScopedWorkingDir::~ScopedWorkingDir() {
    std::error_code ec;
    fs::current_path(previous_, ec);
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

std::string anyFontPath() {
    for (const std::string& candidate : fontCandidates()) {
        std::error_code ec;
        if (fs::is_regular_file(candidate, ec))
            return candidate;
    }
    return {};
}

namespace {

// The whole run happens in a scratch folder, so no test can leave a score
// file in the source or build tree.
class ScratchWorkingDir : public ::testing::Environment {
public:
    void SetUp() override {
        // The sound library complains about the missing sound card once per
        // Game; the game itself keeps quiet, and so do the tests.
        sf::err().rdbuf(nullptr);
        // There is no sound card here; OpenAL's null output gives the players
        // a working device, so their settings read back, and keeps ALSA quiet.
        setenv("ALSOFT_DRIVERS", "null", 0);
        dir_ = std::make_unique<ScopedTempDir>();
        cwd_ = std::make_unique<ScopedWorkingDir>(dir_->path());
    }
    void TearDown() override {
        cwd_.reset();
        dir_.reset();
    }

private:
    std::unique_ptr<ScopedTempDir> dir_;
    std::unique_ptr<ScopedWorkingDir> cwd_;
};

[[maybe_unused]] ::testing::Environment* const scratch =
    ::testing::AddGlobalTestEnvironment(new ScratchWorkingDir);

}  // namespace

}  // namespace testing_support
