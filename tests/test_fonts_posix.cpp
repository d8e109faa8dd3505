// Where fonts come from on POSIX systems.
#include "TestSupport.hpp"

#include "app/Fonts.hpp"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

namespace fs = std::filesystem;

TEST(Fonts, OnlyAbsolutePathsAndFontconfigsChoiceFirst) {
    // A font planted in the working folder under a Windows-looking name is
    // never opened: a shared folder must not choose what FreeType parses.
    testing_support::ScopedTempDir dir(true);
    fs::create_directories("C:/Windows/Fonts");
    fs::copy_file(testing_support::kTestFont, "C:/Windows/Fonts/consola.ttf");
    const std::vector<std::string> candidates = fontCandidates();
    EXPECT_TRUE(std::all_of(candidates.begin(), candidates.end(), [](auto& c) { return fs::path(c).is_absolute(); }));
    // fontconfig's choice comes first: on Fedora or Arch no fixed path would open.
    EXPECT_EQ(candidates.size(), 1u + 5u) << "fontconfig's monospace is missing";
    sf::Font loaded;
    EXPECT_GE(openFirstFont(loaded, candidates), 0);
}

}  // namespace
