#include "TestSupport.hpp"

#include <SFML/System/Err.hpp>

#include <map>
#include <random>
#include <regex>

namespace testing_support {

ScopedTempDir::ScopedTempDir(bool enter) {
    std::random_device device;
    do
        path_ = fs::temp_directory_path() / ("tundrel-test-" + std::to_string(device()));
    while (!fs::create_directory(path_));
    if (enter) {
        previous_ = fs::current_path();
        fs::current_path(path_);
    }
}

ScopedTempDir::~ScopedTempDir() {
    std::error_code ec;
    if (!previous_.empty())
        fs::current_path(previous_, ec);
    // A test may have taken write permission away; give it back first.
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

void writeFile(const fs::path& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }

std::string readFile(const fs::path& path) {
    std::ostringstream contents;
    contents << std::ifstream(path, std::ios::binary).rdbuf();
    return contents.str();
}

std::string withLineEnds(const std::string& text) { return std::regex_replace(text, std::regex("\n"), kLineEnd); }

std::string stderrOf(const std::function<void()>& body) {
    std::ostringstream said;
    std::streambuf* const console = std::cerr.rdbuf(said.rdbuf());
    body();
    std::cerr.rdbuf(console);
    return said.str();
}

bool saveScores(const fs::path& file, const std::string& name, int first) {
    std::error_code error;
    while (first < 0)
        if (!recordScoreInFile(file, {"W", loadScoreFile(file).front().score + 1}, error))
            return false;
    for (int score = first; score < 200; score += 2) {
        const auto table = recordScoreInFile(file, {name, score}, error);
        if (!table || (table->back().score <= score - 2 &&
                       std::none_of(table->begin(), table->end(), [&](auto& e) { return e.score == score - 2; })))
            return false;
    }
    return true;
}

Rows rows(const std::vector<HighScoreEntry>& table) {
    Rows out;
    for (const HighScoreEntry& entry : table)
        out.emplace_back(entry.score, entry.name);
    return out;
}

Harness::Harness(bool withWindow) : game(withWindow && DisplayConnection().problem().empty() ? Game() : Game(NoWindow{})) {
    EXPECT_TRUE(compat::openFont(game.font, kTestFont)) << "fonts-dejavu-core is missing";
    game.isKeyHeld = [this](sf::Keyboard::Key key) { return held.count(key) > 0; };
    game.onSoundPlayed = [this](SoundId id) { sounds.push_back(id); };
    game.openUrl = [this](const std::string& url) { urls.push_back(url); };
}

void Harness::press(sf::Keyboard::Key key, int times) { while (times-- > 0) { hold(key, 1); release(key); } }

void Harness::release(sf::Keyboard::Key key) {
    held.erase(key);
    game.handleEvent(compat::InputEvent::keyReleased(key));
    game.settleKeys();  // as at the end of the frame's events
}

void Harness::hold(sf::Keyboard::Key key, int times) {
    // As the window delivers them: a key that types sends its character next.
    const std::map<Key, char32_t> typing = {{Key::Space, U' '}, {Key::H, U'h'}, {Key::Enter, U'\r'}, {Key::Escape, 27}, {Key::Backspace, 8}};
    held.insert(key);
    for (int i = 0; i < times; ++i) {
        game.handleEvent(compat::InputEvent::keyPressed(key));
        if (typing.count(key))
            game.handleEvent(compat::InputEvent::text(typing.at(key)));
    }
}

void Harness::moveMouse(int x) { game.handleEvent(compat::InputEvent::mouseMoved({x, 480})); }

void Harness::type(const std::u32string& text) {
    for (const char32_t c : text) game.handleEvent(compat::InputEvent::text(c));
}

void Harness::frames(int count) {
    for (int i = 0; i < count; ++i) game.update(1.f / 60.f);
}

void Harness::flyUnder(const Brick& brick, float dx) {
    const compat::Box box = compat::toBox(brick.shape.getGlobalBounds());
    game.state = GameState::Playing;
    game.ballLaunched = true;
    game.ball.setPosition({box.left + box.width * 0.5f + dx, box.bottom() + 8.f});
    game.ballVelocity = {0.f, -500.f};
}

bool Harness::breakNextBrick() {
    for (const Brick& brick : game.bricks)
        if (brick.alive) {
            flyUnder(brick);
            game.update(0.f);
            return true;
        }
    return false;
}

// The library's complaints are not ours. Every test runs in a scratch
// folder, so none leaves a score file behind.
[[maybe_unused]] static const bool quiet = (sf::err().rdbuf(nullptr), true);
static ScopedTempDir scratch(true);

}  // namespace testing_support
