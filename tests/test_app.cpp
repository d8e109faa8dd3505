// The application shell: the frame loop, fonts, the random draws and the
// window modes. tools/smoke-run.sh starts and quits the real program.
#include "TestSupport.hpp"

#include "app/Fonts.hpp"
#include "app/Game.hpp"
#include "app/Random.hpp"
#include "app/WindowModes.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>


namespace fs = std::filesystem;
using testing_support::ScopedTempDir;

namespace {

Game* quietGame(Game& game) {
    game.isKeyHeld = [](sf::Keyboard::Key) { return false; };
    game.openUrl = [](const std::string&) {};
    return &game;
}

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
    ScopedTempDir dir;
    const std::string font = testing_support::anyFontPath(), missing = (dir.path() / "missing.ttf").string(),
                      junk = (dir.path() / "junk.ttf").string(), folder = dir.path().string();
    ASSERT_FALSE(font.empty()) << "no system font installed";
    testing_support::writeFile(junk, "this is not a font");
    sf::Font loaded;
    EXPECT_EQ(openFirstFont(loaded, {font, missing}), 0);
    EXPECT_EQ(openFirstFont(loaded, {missing, junk, folder, font}), 3);
    EXPECT_EQ(openFirstFont(loaded, {missing, junk}), -1);
    // The Windows fonts come first; on this machine a later candidate opens.
    const std::vector<std::string> candidates = fontCandidates();
    ASSERT_GE(candidates.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(candidates.begin(), candidates.begin() + 3),
              std::vector<std::string>({"C:/Windows/Fonts/consola.ttf", "C:/Windows/Fonts/arial.ttf",
                                        "C:/Windows/Fonts/calibri.ttf"}));
    EXPECT_GE(openFirstFont(loaded, candidates), 3);
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
}
