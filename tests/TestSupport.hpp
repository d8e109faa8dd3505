// Helpers shared by the test files.
#pragma once

#include "app/Display.hpp"
#include "app/Fonts.hpp"
#include "app/Game.hpp"
#include "app/Random.hpp"
#include "gameplay/Round.hpp"
#include "scores/ScoreFile.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <sstream>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;
using Key = sf::Keyboard::Key;
using S = GameState;

namespace testing_support {

// A fresh empty folder, removed again with everything in it. Entered, it is
// the working directory for its lifetime, so a Game built meanwhile reads and
// writes its score file there and nowhere else.
class ScopedTempDir {
public:
    explicit ScopedTempDir(bool enter = false);
    ~ScopedTempDir();
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_, previous_;
};

// Writes a file whole, bytes as given.
void writeFile(const std::filesystem::path& path, const std::string& bytes);

// Reads a file whole; empty when it cannot be read.
std::string readFile(const std::filesystem::path& path);

// A table as (score, name) rows, which compare and print plainly.
using Rows = std::vector<std::pair<std::int32_t, std::string>>;
Rows rows(const std::vector<HighScoreEntry>& table);

// The font the tests draw in, whatever fontconfig prefers on this machine:
// DejaVu Sans Mono, on Windows as the fonts folder's consola.ttf. Then how
// the platform ends a line of a text file, and text with its line ends.
extern const std::string kTestFont, kLineEnd;
std::string withLineEnds(const std::string& text);

// What body writes to standard error.
std::string stderrOf(const std::function<void()>& body);

// Saves into file as a second copy of the game would: first, first + 2, ...
// up to 199 under name, each save checked against the one before; with first
// below 0, "W" one above the best, without end. True when every save held.
bool saveScores(const std::filesystem::path& file, const std::string& name, int first);

// saveScores in a process of its own; succeeded waits for it, kill ends it.
using Process = std::intptr_t;
Process startSaver(const std::filesystem::path& file, const std::string& name, int first);
bool succeeded(Process process);
void kill(Process process);

// A case that opens a window skips where no display opens.
#define SKIP_WITHOUT_SCREEN() if (!DisplayConnection().problem().empty()) GTEST_SKIP() << "needs an X display"

// A real Game in a folder of its own, whose keyboard, speakers and browser
// are recorders, driven by injected events and fixed update steps. It has a
// window only when asked for one and a display opens.
struct Harness {
    ScopedTempDir dir{true};
    Game game;
    std::set<sf::Keyboard::Key> held;
    std::vector<SoundId> sounds;
    std::vector<std::string> urls;

    explicit Harness(bool withWindow = false);
    // A tap: the key goes down, types its character if it has one, comes up.
    void press(sf::Keyboard::Key key, int times = 1);
    // The key goes down and repeats, `times` presses in all, and stays down.
    void hold(sf::Keyboard::Key key, int times);
    // The key comes up, on the keyboard and then as an event, and the frame's
    // events end.
    void release(sf::Keyboard::Key key);
    void moveMouse(int x);
    void type(const std::u32string& text);
    // Updates by whole frames of 1/60 s, without events or rendering.
    void frames(int count);
    // A rising ball just under a brick, dx right of its centre, touching its box.
    void flyUnder(const Brick& brick, float dx = 0.f);
    // One frame that hits the first live brick from below; false when none is left.
    bool breakNextBrick();
};

}  // namespace testing_support
