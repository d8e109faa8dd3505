// Input and the page state machine: every key and button on every page, the
// name entry rules, the paddle controls, the launch and the browser opener.
#include "PlayHarness.hpp"
#include "TestSupport.hpp"

#include "app/Browser.hpp"
#include "app/InputRules.hpp"
#include "app/Random.hpp"

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <sstream>
#include <thread>

#include <sys/types.h>
#include <unistd.h>

namespace fs = std::filesystem;
using play_tests::Harness;
using testing_support::readFile;
using Key = sf::Keyboard::Key;

namespace {

constexpr double kPi = 3.14159265358979;

const char* stateName(GameState state) {
    switch (state) {
    case GameState::Title: return "Title";
    case GameState::Playing: return "Playing";
    case GameState::Paused: return "Paused";
    case GameState::GameOver: return "GameOver";
    case GameState::NameEntry: return "NameEntry";
    case GameState::HighScores: return "HighScores";
    case GameState::LevelIntro: return "LevelIntro";
    }
    return "?";
}

// The inputs of the table, in column order.
enum Input { Escape, Space, H, F1, F11, Enter, LeftButton, RightButton, Closed, kInputCount };
const char* const kInputNames[kInputCount] = {"Escape", "Space", "H", "F1", "F11",
                                              "Enter", "left button", "right button", "Closed"};

void send(Harness& h, Input input) {
    switch (input) {
    case Escape: h.press(Key::Escape); break;
    case Space: h.press(Key::Space); break;
    case H: h.press(Key::H); break;
    case F1: h.press(Key::F1); break;
    case F11: h.press(Key::F11); break;
    case Enter: h.press(Key::Enter); break;
    case LeftButton: h.click(sf::Mouse::Button::Left); break;
    case RightButton: h.click(sf::Mouse::Button::Right); break;
    case Closed: h.game.handleEvent(compat::InputEvent::closed()); break;
    case kInputCount: break;
    }
}

// Empty: the window is closed and the program ends.
using Outcome = std::optional<GameState>;
const Outcome kEnds = std::nullopt;

struct Row {
    GameState from;
    float introCountdown;
    std::array<Outcome, kInputCount> to;
};

// Every process whose parent is this one, from /proc.
std::set<pid_t> childProcesses() {
    std::set<pid_t> found;
    const pid_t self = getpid();
    std::error_code ec;
    for (const fs::directory_entry& entry : fs::directory_iterator("/proc", ec)) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string stat = readFile(entry.path() / "stat");
        const std::size_t close = stat.rfind(')');
        if (close == std::string::npos)
            continue;
        char stateChar = 0;
        long parent = 0;
        std::istringstream fields(stat.substr(close + 1));
        if (fields >> stateChar >> parent && parent == self)
            found.insert(static_cast<pid_t>(std::stol(name)));
    }
    return found;
}

// Polls a condition a bounded number of times, a few milliseconds apart.
template <typename Condition>
bool eventually(Condition condition) {
    for (int i = 0; i < 2000; ++i) {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return condition();
}

class ScopedPath {
public:
    explicit ScopedPath(const std::string& value) {
        if (const char* old = std::getenv("PATH"))
            previous_ = old;
        setenv("PATH", value.c_str(), 1);
    }
    ~ScopedPath() {
        if (previous_)
            setenv("PATH", previous_->c_str(), 1);
        else
            unsetenv("PATH");
    }
    ScopedPath(const ScopedPath&) = delete;
    ScopedPath& operator=(const ScopedPath&) = delete;

private:
    std::optional<std::string> previous_;
};

}  // namespace

TEST(PlayInputRules, NarrowWindowClampAndLaunchExtremes) {
    using namespace input_rules;
    // A window narrower than the paddle: the right limit is tested first.
    EXPECT_FLOAT_EQ(clampPaddleX(50.f, 100.f), 35.f);
    EXPECT_FLOAT_EQ(clampPaddleX(20.f, 100.f), 65.f);
    EXPECT_FLOAT_EQ(clampPaddleX(1900.f, 1920.f), 1855.f);

    // Draw 0 is 50 degrees left of straight up, 32767 50 degrees right.
    const double s50 = std::sin(50.0 * kPi / 180.0), c50 = std::cos(50.0 * kPi / 180.0);
    const sf::Vector2f leftmost = launchVelocity(0, 1);
    EXPECT_NEAR(leftmost.x, -s50 * 445.0, 0.01);
    EXPECT_NEAR(leftmost.y, -c50 * 445.0, 0.01);
    const sf::Vector2f rightmost = launchVelocity(32767, 5);
    EXPECT_NEAR(rightmost.x, s50 * 705.0, 0.01);
    EXPECT_NEAR(rightmost.y, -c50 * 705.0, 0.01);
}

TEST(PlayStateMachine, EveryKeyAndButtonOnEveryPage) {
    using S = GameState;
    //                 Escape         Space          H              F1             F11            Enter          left           right          Closed
    const std::vector<Row> table = {
        {S::Title, 0.f, {kEnds, S::Playing, S::HighScores, S::Title, S::Title, S::Title, S::Playing, S::Title, kEnds}},
        {S::Playing, 0.f, {S::Paused, S::Playing, S::Playing, S::Playing, S::Playing, S::Playing, S::Playing, S::Paused, kEnds}},
        {S::Paused, 0.f, {S::Playing, S::Paused, S::Paused, S::Paused, S::Paused, S::Paused, S::Paused, S::Playing, kEnds}},
        {S::GameOver, 0.f, {kEnds, S::HighScores, S::GameOver, S::GameOver, S::GameOver, S::GameOver, S::HighScores, S::GameOver, kEnds}},
        {S::NameEntry, 0.f, {S::HighScores, S::NameEntry, S::NameEntry, S::NameEntry, S::NameEntry, S::NameEntry, S::NameEntry, S::NameEntry, kEnds}},
        {S::HighScores, 0.f, {S::Title, S::Title, S::HighScores, S::HighScores, S::HighScores, S::HighScores, S::Title, S::HighScores, kEnds}},
        {S::LevelIntro, 1.5f, {kEnds, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::LevelIntro, kEnds}},
        {S::LevelIntro, 0.f, {kEnds, S::Playing, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::Playing, S::LevelIntro, kEnds}},
        {S::LevelIntro, -0.25f, {kEnds, S::Playing, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::LevelIntro, S::Playing, S::LevelIntro, kEnds}},
    };

    for (const Row& row : table) {
        for (int i = 0; i < kInputCount; ++i) {
            const Input input = static_cast<Input>(i);
            SCOPED_TRACE(std::string(stateName(row.from)) + " (countdown " +
                         std::to_string(row.introCountdown) + ") + " + kInputNames[i]);
            Harness h;
            h.game.state = row.from;
            h.game.introCountdown = row.introCountdown;
            h.game.score = 0;  // never qualifies for the table
            send(h, input);

            const Outcome& expected = row.to[static_cast<std::size_t>(i)];
            if (!expected) {
                EXPECT_FALSE(h.game.window.isOpen());
                continue;
            }
            EXPECT_TRUE(h.game.window.isOpen());
            EXPECT_EQ(h.game.state, *expected) << "got " << stateName(h.game.state);

            // F1 and F11 do their thing everywhere but on the name entry page.
            const bool typing = row.from == GameState::NameEntry;
            if (input == F1 && !typing) {
                EXPECT_EQ(h.urls, std::vector<std::string>{SITE_URL});
            } else {
                EXPECT_TRUE(h.urls.empty());
            }
            EXPECT_EQ(h.game.fullscreen, input == F11 && !typing);
            // Input never plays a sound.
            EXPECT_TRUE(h.sounds.empty());
        }
    }
}

TEST(PlayStateMachine, ActionsStartGamesLaunchAndLeaveTheResultPanel) {
    {
        SCOPED_TRACE("title: a fresh game on level 1");
        Harness h;
        h.game.level = 4;
        h.game.score = 900;
        h.game.lives = 0;
        h.game.bestScore = 700;
        h.game.bricks.clear();
        h.click(sf::Mouse::Button::Left);
        EXPECT_EQ(h.game.state, GameState::Playing);
        EXPECT_EQ(h.game.level, 1);
        EXPECT_EQ(h.game.score, 0);
        EXPECT_EQ(h.game.lives, 3);
        EXPECT_EQ(h.game.bestScore, 700);
        EXPECT_EQ(h.game.bricks.size(), 60u);
        EXPECT_FALSE(h.game.ballLaunched);
    }
    {
        SCOPED_TRACE("level intro: the next level once the countdown has run out");
        Harness h;
        h.game.state = GameState::LevelIntro;
        h.game.level = 3;
        h.game.introCountdown = 0.01f;
        h.press(Key::Space);
        EXPECT_EQ(h.game.state, GameState::LevelIntro);
        h.game.introCountdown = 0.f;
        h.game.ballLaunched = true;
        h.press(Key::Space);
        EXPECT_EQ(h.game.state, GameState::Playing);
        EXPECT_EQ(h.game.bricks.size(), 45u);
        EXPECT_FALSE(h.game.ballLaunched);
        EXPECT_EQ(h.game.level, 3);
    }
    {
        SCOPED_TRACE("result panel with a full table whose last score is 120");
        for (const int score : {120, 121}) {
            Harness h;
            h.game.highScores = {{"a", 500}, {"b", 400}, {"c", 300}, {"d", 200}, {"e", 120}};
            h.game.state = GameState::GameOver;
            h.game.score = score;
            h.game.nameInput = "old";
            h.press(Key::Space);
            EXPECT_EQ(h.game.state, score == 121 ? GameState::NameEntry : GameState::HighScores)
                << score;
            if (score == 121) {
                EXPECT_TRUE(h.game.nameInput.empty());
            }
        }
    }
    {
        SCOPED_TRACE("result panel with a short table");
        for (const int score : {0, 1}) {
            Harness h;
            h.game.highScores = {{"a", 500}, {"b", 400}};
            h.game.state = GameState::GameOver;
            h.game.score = score;
            h.click(sf::Mouse::Button::Left);
            EXPECT_EQ(h.game.state, score == 1 ? GameState::NameEntry : GameState::HighScores)
                << score;
        }
    }
}

TEST(PlayNameEntry, TypingEditingAndRecording) {
    Harness h;
    h.game.state = GameState::NameEntry;
    h.game.score = 777;
    const sf::Vector2f paddleBefore = h.game.paddle.getPosition();

    h.type(8);  // backspace on nothing
    EXPECT_EQ(h.game.nameInput, "");
    h.press(Key::Enter);  // an empty name is not recorded
    EXPECT_EQ(h.game.state, GameState::NameEntry);
    EXPECT_FALSE(fs::exists(h.dir.path() / "tundrel_score.txt"));

    h.typeText("Brimnor Isbj");  // twelve, the space included
    h.type('x');                 // the thirteenth is dropped
    EXPECT_EQ(h.game.nameInput, "Brimnor Isbj");
    h.type(8);
    EXPECT_EQ(h.game.nameInput, "Brimnor Isb");
    for (const std::uint32_t dropped : {0xF8u, 0x263Au, 127u, 31u, 9u, 13u})
        h.type(dropped);
    EXPECT_EQ(h.game.nameInput, "Brimnor Isb");
    h.type('~');
    EXPECT_EQ(h.game.nameInput, "Brimnor Isb~");

    // Nothing but typing, Enter and Escape counts here.
    h.press(Key::Space);
    h.press(Key::H);
    h.press(Key::F1);
    h.press(Key::F11);
    h.press(Key::Backspace);
    h.click(sf::Mouse::Button::Left);
    h.click(sf::Mouse::Button::Right);
    h.moveMouse(100);
    EXPECT_EQ(h.game.state, GameState::NameEntry);
    EXPECT_EQ(h.game.nameInput, "Brimnor Isb~");
    EXPECT_TRUE(h.urls.empty());
    EXPECT_FALSE(h.game.fullscreen);
    EXPECT_EQ(h.game.paddle.getPosition(), paddleBefore);

    h.press(Key::Enter);
    EXPECT_EQ(h.game.state, GameState::HighScores);
    ASSERT_EQ(h.game.highScores.size(), 1u);
    EXPECT_EQ(h.game.highScores[0].name, "Brimnor Isb~");
    EXPECT_EQ(h.game.highScores[0].score, 777);
    EXPECT_EQ(readFile(h.dir.path() / "tundrel_score.txt"), "777 Brimnor Isb~\n");
}

TEST(PlayNameEntry, EscapeKeepsTheScoreUnderAnonym) {
    Harness h;
    h.game.highScores = {{"Polar", 900}};
    h.game.state = GameState::NameEntry;
    h.game.score = 300;
    h.typeText("Ola");
    h.press(Key::Escape);
    EXPECT_EQ(h.game.state, GameState::HighScores);
    ASSERT_EQ(h.game.highScores.size(), 2u);
    EXPECT_EQ(h.game.highScores[1].name, "Anonym");
    EXPECT_EQ(h.game.highScores[1].score, 300);
    EXPECT_EQ(readFile(h.dir.path() / "tundrel_score.txt"), "900 Polar\n300 Anonym\n");
}

TEST(PlayPaddle, MouseSteersWithinTheWallsOnEveryPageButNameEntry) {
    Harness h;
    const float y = h.game.paddle.getPosition().y;
    ASSERT_FLOAT_EQ(y, 890.f);
    const std::pair<int, float> moves[] = {{300, 300.f}, {10, 65.f},     {64, 65.f},
                                           {65, 65.f},   {-40, 65.f},    {1215, 1215.f},
                                           {1216, 1215.f}, {5000, 1215.f}, {700, 700.f}};
    for (const GameState state : {GameState::Title, GameState::Playing, GameState::Paused,
                                  GameState::GameOver, GameState::HighScores,
                                  GameState::LevelIntro}) {
        h.game.state = state;
        for (const auto& [mouseX, expectedX] : moves) {
            h.moveMouse(mouseX, 17);
            EXPECT_FLOAT_EQ(h.game.paddle.getPosition().x, expectedX)
                << stateName(state) << " mouse at " << mouseX;
            EXPECT_FLOAT_EQ(h.game.paddle.getPosition().y, y);
        }
    }
    h.game.state = GameState::NameEntry;
    h.moveMouse(200);
    EXPECT_FLOAT_EQ(h.game.paddle.getPosition().x, 700.f);
}

TEST(PlayPaddle, KeysStepAFixedSixtiethOnlyWhilePlaying) {
    Harness h;
    h.game.handleEvents();  // drop whatever the display queued at start-up
    h.game.state = GameState::Playing;
    h.game.level = 1;
    const float y = h.game.paddle.getPosition().y;
    const float step1 = 540.f * 0.016666668f;

    struct Case {
        std::set<Key> keys;
        float startX;
        float expectedX;
    };
    const std::vector<Case> cases = {
        {{}, 640.f, 640.f},
        {{Key::Left}, 640.f, 640.f - step1},
        {{Key::A}, 640.f, 640.f - step1},
        {{Key::Left, Key::A}, 640.f, 640.f - step1},
        {{Key::Right}, 640.f, 640.f + step1},
        {{Key::D}, 640.f, 640.f + step1},
        {{Key::Right, Key::D}, 640.f, 640.f + step1},
        {{Key::Left, Key::Right}, 640.f, 640.f},
        {{Key::A, Key::D}, 640.f, 640.f},
        {{Key::Left, Key::D}, 640.f, 640.f},
        {{Key::Left}, 70.f, 65.f},
        {{Key::Right}, 1210.f, 1215.f},
        {{}, 2000.f, 1215.f},  // clamped every frame, keys or not
        {{}, 10.f, 65.f},
        {{Key::Up, Key::W, Key::S}, 640.f, 640.f},
    };
    for (const Case& c : cases) {
        h.held = c.keys;
        h.game.paddle.setPosition({c.startX, y});
        h.game.handleEvents();
        EXPECT_FLOAT_EQ(h.game.paddle.getPosition().x, c.expectedX)
            << "from " << c.startX << " with " << c.keys.size() << " keys";
        EXPECT_FLOAT_EQ(h.game.paddle.getPosition().y, y);
    }

    // The step grows with the level and ignores the frame time.
    h.game.level = 4;
    h.held = {Key::Right};
    h.game.paddle.setPosition({640.f, y});
    h.game.handleEvents();
    h.game.handleEvents();
    EXPECT_FLOAT_EQ(h.game.paddle.getPosition().x, 640.f + 2.f * (600.f * 0.016666668f));

    // No keyboard steering (and no clamping) on any other page.
    h.held = {Key::Left};
    for (const GameState state : {GameState::Title, GameState::Paused, GameState::GameOver,
                                  GameState::HighScores, GameState::LevelIntro,
                                  GameState::NameEntry}) {
        h.game.state = state;
        h.game.paddle.setPosition({2000.f, y});
        h.game.handleEvents();
        EXPECT_FLOAT_EQ(h.game.paddle.getPosition().x, 2000.f) << stateName(state);
    }
}

TEST(PlayLaunch, AngleWithinFiftyDegreesAtTheLevelsSpeed) {
    Harness h;
    h.game.state = GameState::Playing;
    h.game.level = 3;

    seedRandom(4242);
    const int first = drawRandom();
    const int second = drawRandom();
    seedRandom(4242);
    h.press(Key::Space);
    ASSERT_TRUE(h.game.ballLaunched);
    const double degrees = first / 32767.0 * 100.0 - 50.0;
    const double speed = 3 * 65 + 380;
    EXPECT_NEAR(h.game.ballVelocity.x, std::sin(degrees * kPi / 180.0) * speed, 0.01);
    EXPECT_NEAR(h.game.ballVelocity.y, -std::cos(degrees * kPi / 180.0) * speed, 0.01);

    // A flying ball ignores further actions and draws nothing.
    const sf::Vector2f flying = h.game.ballVelocity;
    h.click(sf::Mouse::Button::Left);
    EXPECT_EQ(h.game.ballVelocity, flying);
    EXPECT_EQ(drawRandom(), second);

    // Many launches: always upwards, never steeper than 50 degrees off
    // vertical, always at 445 px/s on level 1.
    h.game.level = 1;
    double leftmost = 0.0, rightmost = 0.0;
    for (int i = 0; i < 400; ++i) {
        h.game.ballLaunched = false;
        h.press(Key::Space);
        const sf::Vector2f v = h.game.ballVelocity;
        EXPECT_NEAR(std::hypot(v.x, v.y), 445.0, 0.01);
        ASSERT_LT(v.y, 0.f);
        const double off = std::atan2(v.x, -v.y) * 180.0 / kPi;
        EXPECT_LE(std::fabs(off), 50.0 + 1e-3);
        leftmost = std::min(leftmost, off);
        rightmost = std::max(rightmost, off);
    }
    // Both sides get used.
    EXPECT_LT(leftmost, -30.0);
    EXPECT_GT(rightmost, 30.0);
}

TEST(PlayFullscreen, TogglingPutsAFlyingBallBackToRest) {
    for (const GameState state : {GameState::Playing, GameState::Paused}) {
        SCOPED_TRACE(stateName(state));
        Harness h;
        h.game.paddle.setPosition({400.f, 890.f});
        h.fly({300.f, 500.f}, {120.f, -300.f});
        h.game.state = state;
        h.press(Key::F11);
        EXPECT_TRUE(h.game.fullscreen);
        EXPECT_EQ(h.game.state, state);
        EXPECT_FALSE(h.game.ballLaunched);
        EXPECT_EQ(h.game.ballVelocity, sf::Vector2f(0.f, 0.f));
        EXPECT_FLOAT_EQ(h.game.ball.getPosition().x, 400.f);
        EXPECT_FLOAT_EQ(h.game.ball.getPosition().y, 890.f - 18.f - 11.f - 2.f);
        const std::size_t bricks = h.game.bricks.size();
        h.press(Key::F11);
        EXPECT_FALSE(h.game.fullscreen);
        EXPECT_EQ(h.game.window.getSize(), sf::Vector2u(1280u, 960u));
        EXPECT_EQ(h.game.bricks.size(), bricks);
    }
    {
        SCOPED_TRACE("title page: only the window changes");
        Harness h;
        h.game.ball.setPosition({300.f, 500.f});
        h.game.ballVelocity = {120.f, -300.f};
        h.game.ballLaunched = true;
        h.press(Key::F11);
        EXPECT_TRUE(h.game.fullscreen);
        EXPECT_EQ(h.game.ball.getPosition(), sf::Vector2f(300.f, 500.f));
        EXPECT_TRUE(h.game.ballLaunched);
    }
}

TEST(PlayBrowser, OpenerRunsWithTheUrlAndIsReaped) {
    testing_support::ScopedTempDir bin;
    const fs::path out = bin.path() / "opened.txt";
    const fs::path script = bin.path() / "xdg-open";
    testing_support::writeFile(
        script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + out.string() + "'\n");
    fs::permissions(script, fs::perms::owner_all);

    const std::string url = "https://tundrel.example/hjelp?a=1&b=2";
    const std::set<pid_t> before = childProcesses();
    {
        ScopedPath path(bin.path().string());
        openInBrowser(url);
    }
    ASSERT_TRUE(eventually([&] { return readFile(out) == url; }))
        << "the opener never ran; got '" << readFile(out) << "'";
    // An unreaped opener would linger here as a zombie for good.
    EXPECT_TRUE(eventually([&] { return childProcesses() == before; }))
        << "a child of ours is still around after the opener finished";

    // With no opener on the path nothing happens and nothing lingers.
    testing_support::ScopedTempDir empty;
    {
        ScopedPath path(empty.path().string());
        openInBrowser(url);
    }
    EXPECT_TRUE(eventually([&] { return childProcesses() == before; }));
}
