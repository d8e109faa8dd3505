// Whole frames rendered and read back from the window, held against colours
// worked out by blending the palette over the night clear.
#include "app/Game.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <optional>

namespace {

using Rgb = sf::Vector3<double>;
Rgb rgb(sf::Color c) { return {double(c.r), double(c.g), double(c.b)}; }
double dot(Rgb a, Rgb b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double maxAbs(Rgb v) { return std::max({std::abs(v.x), std::abs(v.y), std::abs(v.z)}); }

const Rgb kNight{4, 8, 20};
const sf::Color kViolet(108, 92, 231), kTeal(29, 158, 117), kIce(55, 138, 221),
    kAmber(240, 160, 48), kFrost(216, 232, 248), kCount(100, 200, 160, 180);

// Ordinary blending: src × a + dst × (1 − a).
Rgb over(Rgb d, sf::Color s) { return rgb(s) * (s.a / 255.0) + d * (1 - s.a / 255.0); }
// Additive blending: src × a + dst, clamped.
Rgb add(Rgb d, sf::Color s) {
    const Rgb v = rgb(s) * (s.a / 255.0) + d;
    return {std::min(255.0, v.x), std::min(255.0, v.y), std::min(255.0, v.z)};
}

::testing::AssertionResult shows(const sf::Image& f, int x, int y, Rgb want) {
    const Rgb c = rgb(compat::pixelAt(f, unsigned(x), unsigned(y)));
    return ::testing::AssertionResult(maxAbs(c - want) <= 3)
           << "(" << x << ", " << y << ") shows " << c.x << "," << c.y << "," << c.z << ", not "
           << want.x << "," << want.y << "," << want.z;
}

struct Ink { int left, top, right, bottom; };  // inclusive pixel bounds

// The box around the pixels of [x0, x1) × [y0, y1) that show `color` laid at
// half strength or more over the night (glyph edges are blends of the two).
std::optional<Ink> findInk(const sf::Image& f, int x0, int y0, int x1, int y1, Rgb color) {
    const Rgb d = color - kNight;
    Ink box{INT_MAX, INT_MAX, -1, -1};
    for (int y = std::max(y0, 0); y < std::min(y1, int(f.getSize().y)); ++y)
        for (int x = std::max(x0, 0); x < std::min(x1, int(f.getSize().x)); ++x) {
            const Rgb e = rgb(compat::pixelAt(f, unsigned(x), unsigned(y))) - kNight;
            const double c = dot(e, d) / dot(d, d);
            if (c >= 0.5 && c <= 1.1 && maxAbs(e - d * c) <= 8.0)
                box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x),
                       std::max(box.bottom, y)};
        }
    return box.right < 0 ? std::nullopt : std::optional<Ink>(box);
}

enum class Anchor { TopLeft, Centre, TopRight };

class RenderFrames : public ::testing::Test {
protected:
    void SetUp() override {
        game.bricks.clear();
        game.highScores.clear();
        game.animTime = game.paddleGlowPhase = game.cheerTimer = 0.f;
        game.state = GameState::Playing;
        game.level = 3;
        game.paddle.setPosition({640.f, 890.f});
        game.ball.setPosition({910.f, 650.f});
    }

    sf::Image frame() {
        game.render();
        return compat::captureWindow(game.window);
    }

    // The ink of `text` fills exactly the glyph box SFML measures for it,
    // placed at (x, y) by the given anchor.
    void expectText(const sf::Image& f, const std::string& text, unsigned size, Rgb color, float x,
                    float y, Anchor anchor = Anchor::Centre) {
        SCOPED_TRACE(text);
        const sf::String s = sf::String::fromUtf8(text.begin(), text.end());
        const compat::Box b = compat::toBox(compat::makeText(game.font, s, size).getLocalBounds());
        const double left = anchor == Anchor::Centre    ? x - b.width / 2
                            : anchor == Anchor::TopLeft ? x + b.left
                                                        : x - b.width;
        const double top = anchor == Anchor::Centre ? y - b.height / 2 : y + b.top;
        const auto ink = findInk(f, int(left) - 8, int(top) - 5, int(left + b.width) + 9,
                                 int(top + b.height) + 6, color);
        ASSERT_TRUE(ink) << "nothing near (" << x << ", " << y << ")";
        EXPECT_NEAR(ink->left, left, 1.5);
        EXPECT_NEAR(ink->right + 1, left + b.width, 1.5);
        EXPECT_NEAR(ink->top, top, 1.5);
        EXPECT_NEAR(ink->bottom + 1, top + b.height, 1.5);
    }

    Game game;
};

// Every page over the same bright spark, paddle, ball and HUD marker: the
// veil's strength shows on the spark, the page's own layers on the others.
struct PageCase { GameState state; std::uint8_t veil; bool paddle, hud; };
class PageVeils : public RenderFrames, public ::testing::WithParamInterface<PageCase> {};

}  // namespace

TEST_P(PageVeils, VeilLiesOverTheCommonLayers) {
    const PageCase& page = GetParam();
    game.state = page.state;
    game.lives = 1;
    game.particles = {Particle{{150.f, 650.f}, {}, sf::Color::White, 2.f, 2.f, 30.f}};
    const sf::Image f = frame();
    auto veiled = [&](Rgb beneath) {
        return page.veil ? over(beneath, sf::Color(4, 8, 20, page.veil)) : beneath;
    };
    EXPECT_TRUE(shows(f, 150, 650, veiled(add(kNight, sf::Color(255, 255, 255, 220)))));
    EXPECT_TRUE(shows(f, 640, 890, veiled(page.paddle ? rgb(kTeal) : kNight)));
    EXPECT_TRUE(shows(f, 910, 650, veiled(page.paddle ? rgb(kFrost) : kNight)));
    EXPECT_TRUE(shows(f, 1240, 58, veiled(page.hud ? rgb(kTeal) : kNight)));
    EXPECT_TRUE(shows(f, 1210, 58, veiled(kNight)));  // one ball left: one marker
}

const PageCase kPages[] = {
    {GameState::Title, 0, false, false},       {GameState::Playing, 0, true, true},
    {GameState::Paused, 200, true, true},      {GameState::GameOver, 200, false, true},
    {GameState::NameEntry, 220, false, false}, {GameState::HighScores, 230, false, false},
    {GameState::LevelIntro, 180, false, false}};
const char* const kStateNames[] = {"Title",     "Playing",    "Paused",    "GameOver",
                                   "NameEntry", "HighScores", "LevelIntro"};
INSTANTIATE_TEST_SUITE_P(EveryState, PageVeils, ::testing::ValuesIn(kPages),
                         [](const ::testing::TestParamInfo<PageCase>& info) {
                             return std::string(kStateNames[static_cast<int>(info.param.state)]);
                         });

TEST_F(RenderFrames, PlayfieldAndHud) {
    // An ordinary, a reinforced and a cracked brick, one broken, six more.
    const sf::Color fills[3] = {{27, 23, 57, 220}, {60, 50, 10, 220}, {100, 80, 20, 220}};
    for (int i = 0; i < 10; ++i) {
        game.bricks.emplace_back();
        game.bricks[i].shape.setSize({100.f, 30.f});
        game.bricks[i].shape.setPosition({105.f + 107.f * i, 420.f});
        game.bricks[i].shape.setFillColor(fills[i % 3]);
        game.bricks[i].color = kViolet;
        game.bricks[i].alive = i != 3;
    }
    game.cheerText = "Pr\xC3\xB8v igjen!";
    game.cheerTimer = 1.f;
    const sf::Image f = frame();

    const Rgb halo = add(kNight, withAlpha(kViolet, 25));
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(shows(f, 155 + 107 * i, 435, over(halo, fills[i])));
    EXPECT_TRUE(shows(f, 102, 435, halo));  // the halo reaches 4 px past each edge
    EXPECT_TRUE(shows(f, 155, 452, halo));
    EXPECT_TRUE(shows(f, 100, 435, kNight));
    EXPECT_TRUE(shows(f, 476, 435, kNight));  // a broken brick: no body, no halo

    // Centres opaque; next to them all three glow rings add up.
    auto rings = [](sf::Color c, int a3, int a2, int a1) {
        return add(add(add(kNight, withAlpha(c, a3)), withAlpha(c, a2)), withAlpha(c, a1));
    };
    EXPECT_TRUE(shows(f, 640, 890, rgb(kTeal)));
    EXPECT_TRUE(shows(f, 708, 890, rings(kTeal, 16, 25, 50)));
    EXPECT_TRUE(shows(f, 910, 650, rgb(kFrost)));
    EXPECT_TRUE(shows(f, 923, 650, rings(kIce, 15, 22, 45)));
    for (int x : {1232, 1248, 1202, 1218, 1172, 1188})  // boxes from x = 1230, 1200, 1170
        EXPECT_TRUE(shows(f, x, 58, rgb(kTeal))) << x;

    expectText(f, "LEVEL 3/5", 20, rgb(kViolet), 20, 20, Anchor::TopLeft);
    expectText(f, "BRIKKER: 9", 16, over(kNight, kCount), 1260, 20, Anchor::TopRight);
    expectText(f, "Pr\xC3\xB8v igjen!", 24, rgb(kAmber), 640, 860);
}

TEST_F(RenderFrames, PageTexts) {
    game.state = GameState::Title;
    sf::Image f = frame();
    expectText(f, "TUNDREL", 72, rgb(kTeal), 640, 134.4f);
    expectText(f, "[ Klikk eller SPACE ] for a starte", 28, {122, 195, 182}, 640, 720);

    game.state = GameState::GameOver;
    game.score = 1500;
    game.bestScore = 2500;
    f = frame();
    expectText(f, "GAME OVER", 54, {220, 70, 70}, 640, 336);
    expectText(f, "POENG: 1500   BEST: 2500", 22, rgb(kIce), 640, 518.4f);

    game.state = GameState::HighScores;
    game.highScores = {{"Anonym", 4500}};
    f = frame();
    expectText(f, "1.  Anonym", 24, rgb(kAmber), 520, 220, Anchor::TopLeft);
    expectText(f, "4500", 24, rgb(kAmber), 800, 220, Anchor::TopLeft);

    // The level intro's start prompt waits for the second half of the countdown.
    game.state = GameState::LevelIntro;
    game.level = 2;
    game.introCountdown = 1.6f;
    f = frame();
    expectText(f, "LEVEL 2 KLAR!", 52, {134, 159, 82}, 640, 336);
    expectText(f, "Ballhastighet: 510 px/s", 24, rgb(kIce), 640, 451.2f);
    EXPECT_FALSE(findInk(f, 200, 600, 1080, 650, {122, 195, 182})) << "prompt shown too early";
    game.introCountdown = 1.5f;
    expectText(frame(), "[ Klikk eller SPACE ] Start level 2", 26, {122, 195, 182}, 640, 624);
}

TEST_F(RenderFrames, SidebarOnlyInAWideWindow) {
    game.createWindow(true);
    ASSERT_EQ(game.window.getSize(), sf::Vector2u(1920, 1080)) << "needs a 1920x1080 screen";
    EXPECT_EQ(game.backdropLines.size(), 2u * (32 + 18));
    sf::Image f = frame();
    expectText(f, "575 px/s", 18, rgb(kAmber), 115.5f, 691.2f);
    expectText(f, "Ingen enn\xC3\xA5!", 14, {100, 100, 150}, 1804.5f, 172.8f);
    for (int x : {67, 89, 101, 123, 135, 157})  // boxes from xL − 51, xL − 17, xL + 17
        EXPECT_TRUE(shows(f, x, 575, rgb(kTeal))) << x;
    EXPECT_TRUE(shows(f, 227, 700, over(kNight, withAlpha(kTeal, 60))));
    EXPECT_TRUE(shows(f, 1694, 700, over(kNight, withAlpha(kIce, 60))));
    // The sidebar carries the brick count, so the HUD leaves it out.
    EXPECT_FALSE(findInk(f, 1500, 10, 1915, 46, over(kNight, kCount)));

    // Back in the window: the grid is rebuilt and the left band stays empty.
    game.createWindow(false);
    EXPECT_EQ(game.backdropLines.size(), 76u);
    f = frame();
    EXPECT_FALSE(findInk(f, 0, 70, 100, 850, rgb(kViolet)));
    EXPECT_FALSE(findInk(f, 1180, 70, 1280, 850, rgb(kAmber)));
}
