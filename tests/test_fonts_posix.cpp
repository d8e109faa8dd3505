// Where fonts come from on POSIX systems, and which of them opens.
#include "TestSupport.hpp"

TEST(Fonts, OnlyAbsolutePathsFontconfigsChoiceFirstAndTheFirstThatOpens) {
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

    // Missing files, junk and folders are passed over; when none opens, one line says so.
    const std::string font = testing_support::kTestFont, missing = (dir.path() / "missing.ttf").string(),
                      junk = (dir.path() / "junk.ttf").string(), folder = dir.path().string();
    testing_support::writeFile(junk, "this is not a font");
    EXPECT_EQ(openFirstFont(loaded, {missing, junk, folder, font}), 3);
    std::ostringstream report;
    EXPECT_EQ(openFirstFont(loaded, {missing, junk}, report), -1);
    EXPECT_EQ(report.str(), "tundrel: no usable font, the game runs without text; tried: " + missing + " " + junk + "\n");
}
