// Every page the player can see, reached by real play from a fixed seed in
// fixed frame steps, and the icon at every size, held against stored pictures; then the colours of one
// frame against the palette blended by hand, since a picture only proves that
// nothing changed. tools/update-goldens.sh writes the pictures anew: look at
// each one before committing it.
#include "TestSupport.hpp"

#include "app/Random.hpp"
#include "render/Icon.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

namespace fs = std::filesystem;
using Key = sf::Keyboard::Key;
using S = GameState;

// A pixel differs when a channel is off at all: the software renderer draws
// the same picture to the bit on Debian 12, 13 and unstable, so a tolerance
// per pixel would only hide a text one shade off. A few pixels may differ,
// for the odd edge a renderer rounds the other way; a text moved by one
// pixel changes hundreds.
constexpr int kChannelTolerance = 0;
constexpr int kMaxDifferingPixels = 40;

sf::Image frame(Game& game) {
    game.render();
    return compat::captureWindow(game.window);
}

// Compares a picture with the stored one of that name, or stores it when the
// pictures are being made anew.
void expectMatchesGolden(const sf::Image& shot, const std::string& file, int allowed = kMaxDifferingPixels) {
    const fs::path golden = fs::path(TUNDREL_GOLDEN_DIR) / file;
    if (std::getenv("TUNDREL_UPDATE_GOLDEN")) {
        fs::create_directories(golden.parent_path());
        EXPECT_TRUE(shot.saveToFile(golden.string()));
        return;
    }
    sf::Image want;
    ASSERT_TRUE(want.loadFromFile(golden.string())) << golden;
    ASSERT_EQ(want.getSize(), shot.getSize()) << file;
    const std::uint8_t *a = shot.getPixelsPtr(), *b = want.getPixelsPtr();
    int differing = 0;
    for (std::size_t i = 0; i < std::size_t(shot.getSize().x) * shot.getSize().y; ++i, a += 4, b += 4)
        differing += std::max({std::abs(a[0] - b[0]), std::abs(a[1] - b[1]), std::abs(a[2] - b[2])}) >
                     kChannelTolerance;
    const fs::path failed = fs::temp_directory_path() / ("tundrel-failed-" + file);
    EXPECT_TRUE(differing <= allowed || !shot.saveToFile(failed.string()))
        << file << ": " << differing << " pixels differ; this run's picture is " << failed;
}

class Golden : public ::testing::TestWithParam<bool> {
protected:
    void expectPage(const std::string& name) {
        expectMatchesGolden(frame(h.game), name + (GetParam() ? "-wide" : "") + ".png");
    }
    void playUntil(S state) {
        for (int i = 0; i < 3000 && h.game.state != state; ++i)
            h.breakNextBrick();
        ASSERT_EQ(h.game.state, state);
    }
    testing_support::Harness h;
};

}  // namespace

TEST_P(Golden, EveryPageAsPlayReachesIt) {
    seedRandom(2026);
    Game& g = h.game;
    if (GetParam())
        h.press(Key::F11);  // the sidebar layout of a wide screen
    const int w = int(g.window.getSize().x);
    h.frames(20);
    expectPage("title");
    h.press(Key::H);
    expectPage("high-scores-empty");
    h.press(Key::Escape);

    h.press(Key::Space);  // start, then launch, and keep the ball up for a while
    h.press(Key::Space);
    for (int i = 0; i < 1200 && (i < 600 || g.cheerTimer < 1.8f); ++i) {
        h.moveMouse(int(g.ball.getPosition().x) + 20);
        h.frames(1);
    }
    h.frames(12);  // sparks spread, the cheer still up
    expectPage("play");
    // The pause page shows a reinforced brick cracked by one hit, and the
    // sidebar the table just loaded.
    h.flyUnder(*std::find_if(g.bricks.begin(), g.bricks.end(), [](auto& b) { return b.alive && b.hitPoints == 2; }));
    g.update(0.f);
    testing_support::writeFile("tundrel_score.txt", "4200 Kari\n2900 Anonym\n1500 Nils\n610 Liv\n");
    g.loadHighScores();
    h.press(Key::Escape);
    expectPage("pause");
    h.press(Key::Escape);
    playUntil(S::LevelIntro);
    expectPage("level-intro");
    h.frames(100);  // past the second half of the countdown
    expectPage("level-intro-ready");

    // Level 2 with the paddle kept away from the ball: three balls lost.
    h.frames(81);
    h.press(Key::Space);
    for (int i = 0; i < 30000 && g.state == S::Playing; ++i) {
        if (!g.ballLaunched)
            h.press(Key::Space);
        h.moveMouse(g.ball.getPosition().x < 0.5f * w ? w : 0);
        h.frames(1);
    }
    EXPECT_EQ(std::count(h.sounds.begin(), h.sounds.end(), SoundId::Lose), 3);
    expectPage("game-over");
    h.press(Key::Space);
    h.type(U"Isbjorn");
    expectPage("name-entry");
    h.press(Key::Enter);
    expectPage("high-scores-full");
    g.scoreSaveFailed = true;  // as after a save the file refused
    expectPage("high-scores-unsaved");

    h.press(Key::Space);  // back to the title, then a perfect game
    h.press(Key::Space);
    for (int level = 1; level < 5; ++level) {
        playUntil(S::LevelIntro);
        h.frames(181);
        h.press(Key::Space);
    }
    playUntil(S::GameOver);
    expectPage("victory");
}

TEST(Icon, EverySizeAsDrawnBefore) {
    for (const unsigned size : kIconSizes)
        expectMatchesGolden(drawIcon(size), "icon-" + std::to_string(size) + ".png", 0);  // pure arithmetic
}

// 0: the 1280 x 960 window; 1: a 1920 x 1080 screen with the sidebar.
INSTANTIATE_TEST_SUITE_P(Pages, Golden, ::testing::Bool());

namespace {

using Rgb = sf::Vector3<double>;
Rgb rgb(sf::Color c) { return {double(c.r), double(c.g), double(c.b)}; }
// Ordinary blending: src × a + dst × (1 − a); additive: src × a + dst (none
// of the sums below reaches 255, where it would clamp).
Rgb over(Rgb d, sf::Color s) { return rgb(s) * (s.a / 255.0) + d * (1 - s.a / 255.0); }
Rgb add(Rgb d, sf::Color s) { return rgb(s) * (s.a / 255.0) + d; }

::testing::AssertionResult shows(const sf::Image& f, int x, int y, Rgb want) {
    const Rgb c = rgb(compat::pixelAt(f, unsigned(x), unsigned(y)));
    const Rgb d = c - want;
    return ::testing::AssertionResult(std::max({std::abs(d.x), std::abs(d.y), std::abs(d.z)}) <= 3)
           << "(" << x << ", " << y << ") shows " << c.x << "," << c.y << "," << c.z << ", not "
           << want.x << "," << want.y << "," << want.z;
}

}  // namespace

TEST(PaletteOnScreen, BodiesHalosGlowsSparksAndVeilBlendAsWritten) {
    testing_support::Harness h;  // level 1's first and reinforced sixth brick, below the aurora
    Game& g = h.game;
    g.state = S::Playing;
    for (Brick& brick : g.bricks) {
        brick.alive = &brick == &g.bricks[0] || &brick == &g.bricks[5];
        brick.shape.move({0.f, 320.f});
    }
    g.ball.setPosition({910.f, 650.f});
    g.particles = {Particle{{150.f, 650.f}, {}, sf::Color::White, 2.f, 2.f, 30.f}};
    const Rgb night = rgb(Palette::Night), halo = add(night, withAlpha(Palette::Violet, 25));
    auto rings = [&](sf::Color c, int a3, int a2, int a1) {
        return add(add(add(night, withAlpha(c, a3)), withAlpha(c, a2)), withAlpha(c, a1));
    };
    const sf::Image f = frame(g);
    EXPECT_TRUE(shows(f, 155, 435, over(halo, sf::Color(27, 23, 57, 220))));
    EXPECT_TRUE(shows(f, 690, 435, over(halo, sf::Color(60, 50, 10, 220))));
    EXPECT_TRUE(shows(f, 102, 435, halo));  // the halo reaches 4 px past each edge
    EXPECT_TRUE(shows(f, 155, 452, halo));
    EXPECT_TRUE(shows(f, 100, 435, night));
    EXPECT_TRUE(shows(f, 262, 435, night));  // a broken brick: no body, no halo
    // Centres opaque; beside them the three glow rings add up.
    EXPECT_TRUE(shows(f, 640, 890, rgb(Palette::Teal)));
    EXPECT_TRUE(shows(f, 708, 890, rings(Palette::Teal, 16, 25, 50)));
    EXPECT_TRUE(shows(f, 910, 650, rgb(Palette::Frost)));
    EXPECT_TRUE(shows(f, 923, 650, rings(Palette::IceBlue, 15, 22, 45)));
    EXPECT_TRUE(shows(f, 150, 650, add(night, sf::Color(255, 255, 255, 220))));
}
