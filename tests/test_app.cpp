// The application shell: the frame loop, fonts, the random draws, the window
// modes and a clean shut-down of the real program.
#include "TestSupport.hpp"

#include "app/Fonts.hpp"
#include "app/Game.hpp"
#include "app/Random.hpp"
#include "app/WindowModes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>

#if defined(TUNDREL_TEST_X11)
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#endif

extern char** environ;

namespace fs = std::filesystem;
using testing_support::ScopedTempDir;

namespace {

Game* quietGame(Game& game) {
    game.isKeyHeld = [](sf::Keyboard::Key) { return false; };
    game.openUrl = [](const std::string&) {};
    return &game;
}

#if defined(TUNDREL_TEST_X11)
std::string x11WindowName(Display* display, ::Window window) {
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name) {
        result = name;
        XFree(name);
    }
    return result;
}

// Top-level windows whose title is exactly `title`.
std::vector<::Window> windowsTitled(Display* display, const std::string& title) {
    std::vector<::Window> found;
    ::Window root = DefaultRootWindow(display), parent = 0, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display, root, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i)
            if (x11WindowName(display, children[i]) == title)
                found.push_back(children[i]);
        if (children)
            XFree(children);
    }
    return found;
}

void sendCloseRequest(Display* display, ::Window window) {
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}
#endif

}  // namespace

TEST(FrameLoop, CapsTheStepAndRunsClocksAndSparksInEveryState) {
    Game game;
    quietGame(game);
    // A 0.2 s frame advances everything by exactly 0.05 s.
    game.cheerTimer = 1.f;
    game.runFrame(0.2f);
    EXPECT_EQ(std::vector<float>({game.animTime, game.paddleGlowPhase, game.cheerTimer}),
              std::vector<float>({0.05f * 0.4f, 0.05f * 3.f, 0.95f}));
    // Paused: the sparks run on, the ball stays where it is.
    game.state = GameState::Paused;
    game.ballLaunched = true;
    game.ballVelocity = {200.f, -300.f};
    game.ball.setPosition({400.f, 500.f});
    game.particles.push_back({{100.f, 100.f}, {200.f, 0.f}, Palette::Teal, 1.f, 1.f, 4.f});
    game.runFrame(0.01f);
    EXPECT_EQ(game.ball.getPosition(), sf::Vector2f(400.f, 500.f));
    ASSERT_EQ(game.particles.size(), 1u);
    EXPECT_FLOAT_EQ(game.particles[0].position.x, 102.f);
    // The intro countdown runs only on its page, and past 0.
    EXPECT_EQ(game.introCountdown, 0.f);
    game.state = GameState::LevelIntro;
    game.runFrame(1.f);
    EXPECT_FLOAT_EQ(game.introCountdown, -0.05f);
}

TEST(Fonts, FirstCandidateThatOpensWins) {
    const std::string real = testing_support::anyFontPath();
    ASSERT_FALSE(real.empty()) << "no system font installed";
    ScopedTempDir dir;
    const fs::path b = dir.path() / "b.ttf";
    const fs::path c = dir.path() / "c.ttf";
    const fs::path junk = dir.path() / "junk.ttf";
    const std::string missing = (dir.path() / "missing.ttf").string();
    fs::copy_file(real, b);
    fs::copy_file(real, c);
    testing_support::writeFile(junk, "this is not a font");

    sf::Font font;
    EXPECT_EQ(openFirstFont(font, {b.string(), c.string()}), 0);
    EXPECT_EQ(openFirstFont(font, {missing, b.string(), c.string()}), 1);
    EXPECT_EQ(openFirstFont(font, {missing, junk.string(), dir.path().string(), c.string()}), 3);
    EXPECT_EQ(openFirstFont(font, {missing, junk.string()}), -1);

    // The Windows fonts come first; on this machine a later candidate opens.
    const std::vector<std::string> candidates = fontCandidates();
    ASSERT_GE(candidates.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(candidates.begin(), candidates.begin() + 3),
              std::vector<std::string>({"C:/Windows/Fonts/consola.ttf", "C:/Windows/Fonts/arial.ttf",
                                        "C:/Windows/Fonts/calibri.ttf"}));
    EXPECT_GE(openFirstFont(font, candidates), 3);
}

TEST(WindowModes, DeepScreensGet32BitsOthersTheirOwnDepth) {
    EXPECT_EQ(std::vector<unsigned>({windowBitsPerPixel(32), windowBitsPerPixel(24), windowBitsPerPixel(16)}),
              std::vector<unsigned>({32, 32, 16}));
    const std::vector<sf::VideoMode> modes = {compat::videoMode(1920, 1080, 32), compat::videoMode(1366, 768, 32),
                                              compat::videoMode(1600, 900, 16)};
    EXPECT_TRUE(*fullscreenMode(modes, 16) == modes[2]);
    EXPECT_TRUE(*fullscreenMode(modes, 24) == compat::videoMode(1920, 1080, 24));
    EXPECT_FALSE(fullscreenMode({}, 32));
}

TEST(Random, DrawsSpanExactly0To32767Uniformly) {
    seedRandom(20261206u);
    int low = kRandomMax, high = 0;
    long long upperHalf = 0;
    const int draws = 1000000;
    for (int i = 0; i < draws; ++i) {
        const int r = drawRandom();
        low = std::min(low, r);
        high = std::max(high, r);
        upperHalf += r >= 16384;
    }
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, kRandomMax);
    EXPECT_NEAR(static_cast<double>(upperHalf) / draws, 0.5, 0.005);

    // One seeding, one sequence.
    seedRandom(7u);
    const int first = drawRandom();
    seedRandom(7u);
    EXPECT_EQ(drawRandom(), first);
}

#if defined(TUNDREL_TEST_X11)
TEST(Program, ClosingTheWindowEndsWithExitCodeZeroAndNoFile) {
    ScopedTempDir dir;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir.path().c_str());
    char binary[] = TUNDREL_BINARY;
    char* argv[] = {binary, nullptr};
    // Without the tests' null audio driver: the game meets a machine with no
    // sound card as it is.
    std::vector<char*> env;
    for (char** e = environ; *e; ++e)
        if (std::string(*e).rfind("ALSOFT_DRIVERS=", 0) != 0)
            env.push_back(*e);
    env.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, binary, &actions, nullptr, argv, env.data()), 0);
    posix_spawn_file_actions_destroy(&actions);

    Display* display = XOpenDisplay(nullptr);
    ASSERT_NE(display, nullptr);
    bool closeSent = false;
    int status = 0;
    bool exited = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            exited = true;
            break;
        }
        if (!closeSent) {
            for (::Window window : windowsTitled(display, windowTitle())) {
                sendCloseRequest(display, window);
                closeSent = true;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    XCloseDisplay(display);
    if (!exited) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
    }
    ASSERT_TRUE(closeSent) << "the game's window never appeared";
    ASSERT_TRUE(exited) << "the game did not end after its window was closed";
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_TRUE(fs::is_empty(dir.path())) << "the game wrote a file";
}
#endif
