// The full-window pages: where each text lands, in which colour, and what
// comes and goes with the clocks.
#include "RenderTestSupport.hpp"

#include <string>

using namespace render_test;

namespace {

const sf::Color kNight(4, 8, 20);
const sf::Color kTeal(29, 158, 117);
const sf::Color kIceBlue(55, 138, 221);
const sf::Color kAmber(240, 160, 48);
const sf::Color kFrost(216, 232, 248);
const sf::Color kPromptAtZero(122, 195, 182);

class RenderScreens : public ::testing::Test {
protected:
    void SetUp() override { prepareQuietGame(game); }

    // One centred text: its ink centred on (cx, cy) and as wide as SFML
    // measures `text` (which pins down the exact string, blanks included).
    void expectText(const sf::Image& frame, const std::string& text, unsigned size, Rgb color,
                    double cx, double cy, Rgb under = {4, 8, 20}) {
        SCOPED_TRACE(text);
        const compat::Box bounds = textBounds(game.font, text, size);
        const int halfW = int(bounds.width / 2) + 12;
        const int halfH = int(size * 0.6) + 2;
        const auto ink =
            findInk(frame, int(cx) - halfW, int(cy) - halfH, int(cx) + halfW + 1, int(cy) + halfH + 1,
                    color, 8.0, under);
        ASSERT_TRUE(ink) << "nothing near (" << cx << ", " << cy << ")";
        EXPECT_NEAR(ink->centreX(), cx, 1.5);
        EXPECT_NEAR(ink->centreY(), cy, 1.5);
        EXPECT_NEAR(ink->right - ink->left + 1, bounds.width, 2.0);
    }

    // One left-aligned text: its layout box starts at (x, y).
    void expectTextAt(const sf::Image& frame, const std::string& text, unsigned size, Rgb color,
                      double x, double y) {
        SCOPED_TRACE(text);
        const compat::Box bounds = textBounds(game.font, text, size);
        const auto ink = findInk(frame, int(x) - 10, int(y) - 4,
                                 int(x + bounds.right()) + 10, int(y + bounds.bottom()) + 4, color);
        ASSERT_TRUE(ink) << "nothing at (" << x << ", " << y << ")";
        EXPECT_NEAR(ink->left, x + bounds.left, 1.5);
        EXPECT_NEAR(ink->top, y + bounds.top, 1.5);
        EXPECT_NEAR(ink->right + 1, x + bounds.right(), 1.5);
    }

    Game game;
};

}  // namespace

TEST_F(RenderScreens, TitlePage) {
    game.state = GameState::Title;
    const sf::Image frame = renderAndCapture(game);
    const double first = 0.38f * 960.f;

    expectText(frame, "TUNDREL", 72, rgb(kTeal), 640, 134.4);
    expectText(frame, "Arktisk Breakout", 24, rgb(kIceBlue), 640, 249.6);
    const char* controls[] = {"Mus / A D              :  Beveg padle",
                              "Venstreklikk / SPACE   :  Start / Slipp ball",
                              "Hoyreklikk / ESC       :  Pause",
                              "F11                    :  Fullskjerm toggle",
                              "H                      :  High Scores"};
    for (int i = 0; i < 5; ++i)
        expectText(frame, controls[i], 20, rgb(kFrost), 640, first + 34 * i);
    expectText(frame, std::string("F1                     :  ") + SITE_LABEL, 20, rgb(kAmber), 640,
               first + 170);
    expectText(frame, "[ Klikk eller SPACE ] for a starte", 28, rgb(kPromptAtZero), 640, 720);
    expectText(frame, "Drevet av trekkloveret: Zefra + Kolmo + Vindar", 15,
               over(rgb(kNight), withAlpha(kIceBlue, 150)), 640, 864);
    expectText(frame, std::string(SITE_LABEL) + "  -  Vi finner aldri pa svar", 14,
               over(rgb(kNight), withAlpha(kTeal, 120)), 640, 912);
}

TEST_F(RenderScreens, LevelIntroPage) {
    game.state = GameState::LevelIntro;
    game.level = 2;
    game.introCountdown = 1.5f;
    sf::Image frame = renderAndCapture(game);
    expectText(frame, "LEVEL 2 KLAR!", 52, rgb(sf::Color(134, 159, 82)), 640, 336);
    expectText(frame, "Ballhastighet: 510 px/s", 24, rgb(kIceBlue), 640, 451.2);
    expectText(frame, "Poengmultiplikator: x2", 24, rgb(kAmber), 640, 518.4);
    expectText(frame, "[ Klikk eller SPACE ] Start level 2", 26, rgb(kPromptAtZero), 640, 624);

    // The prompt waits for the second half of the countdown, then stays.
    game.introCountdown = 1.5001f;
    frame = renderAndCapture(game);
    EXPECT_FALSE(findInk(frame, 200, 600, 1080, 650, rgb(kPromptAtZero)));
    game.introCountdown = -4.f;
    game.level = 5;
    frame = renderAndCapture(game);
    expectText(frame, "[ Klikk eller SPACE ] Start level 5", 26, rgb(kPromptAtZero), 640, 624);
    expectText(frame, "Ballhastighet: 705 px/s", 24, rgb(kIceBlue), 640, 451.2);
}

TEST_F(RenderScreens, MessagePanelTexts) {
    // Level 5 is the last that can be lost; 6 means all five were cleared.
    game.state = GameState::GameOver;
    game.level = 5;
    game.score = 1500;
    game.bestScore = 2500;
    sf::Image frame = renderAndCapture(game);
    expectText(frame, "GAME OVER", 54, rgb(sf::Color(220, 70, 70)), 640, 336);
    expectText(frame, "Isbrekkeren sank...", 26, rgb(kFrost), 640, 441.6);
    expectText(frame, "POENG: 1500   BEST: 2500", 22, rgb(kIceBlue), 640, 518.4);
    expectText(frame, "Klikk eller SPACE for a fortsette", 24, rgb(kPromptAtZero), 640, 624);

    game.level = 6;
    game.score = 0;
    game.bestScore = 0;
    frame = renderAndCapture(game);
    expectText(frame, "GRATULERER!", 54, rgb(kAmber), 640, 336);
    expectText(frame, "Du fullforte alle levels!", 26, rgb(kFrost), 640, 441.6);
    expectText(frame, "POENG: 0   BEST: 0", 22, rgb(kIceBlue), 640, 518.4);

    game.state = GameState::Paused;
    frame = renderAndCapture(game);
    expectText(frame, "PAUSE", 54, rgb(kAmber), 640, 336);
    expectText(frame, "Ta en pust...", 26, rgb(kFrost), 640, 441.6);
}

TEST_F(RenderScreens, HighScoreListPage) {
    game.state = GameState::HighScores;
    sf::Image frame = renderAndCapture(game);
    expectText(frame, "BESTE SPILLERE", 38, rgb(kAmber), 640, 120);
    expectText(frame, "Ingen high scores enna!", 22, rgb(kFrost), 640, 280);
    expectText(frame, "[ Klikk eller SPACE ] Tilbake", 22, rgb(kPromptAtZero), 640, 840);
    EXPECT_FALSE(findInk(frame, 300, 200, 1000, 260, rgb(kAmber)));

    // One entry: one amber row at y = 220, no notice.
    game.highScores = {{"Anonym", 4500}};
    frame = renderAndCapture(game);
    expectTextAt(frame, "1.  Anonym", 24, rgb(kAmber), 520, 220);
    expectTextAt(frame, "4500", 24, rgb(kAmber), 800, 220);
    EXPECT_FALSE(findInk(frame, 300, 262, 1000, 310, rgb(kFrost)));

    // Five rows 62 apart, names of any length on one left edge.
    game.highScores = {{"Ola", 9000}, {"Kari Nordmann", 800}, {"Nils", 70},
                       {"P", 6}, {"Liv", -5}};
    frame = renderAndCapture(game);
    const sf::Color colors[5] = {kAmber, kFrost, kIceBlue, kIceBlue, kIceBlue};
    for (int i = 0; i < 5; ++i) {
        const auto& entry = game.highScores[std::size_t(i)];
        const double y = 220 + 62 * i;
        expectTextAt(frame, std::to_string(i + 1) + ".  " + entry.name, 24, rgb(colors[i]), 520, y);
        expectTextAt(frame, std::to_string(entry.score), 24, rgb(colors[i]), 800, y);
    }
}

TEST_F(RenderScreens, NameEntryPage) {
    game.state = GameState::NameEntry;
    game.score = 2500;
    game.nameInput = "ABC";
    sf::Image frame = renderAndCapture(game);
    expectText(frame, "NY HIGH SCORE!", 44, rgb(kAmber), 640, 192);
    expectText(frame, "POENG: 2500", 28, rgb(kFrost), 640, 297.6);
    expectText(frame, "Skriv inn navnet ditt:", 22, rgb(kIceBlue), 640, 403.2);
    expectText(frame, "[ ENTER ] Bekreft   [ ESC ] Hopp over", 18, rgb(sf::Color(100, 150, 200)),
               640, 624);

    // The box: 400 × 60 around (0.5 W, 0.52 H), a 2 px teal outline outside it.
    const Rgb box = over(rgb(kNight), sf::Color(20, 30, 50, 200));
    EXPECT_TRUE(colorNear(pixel(frame, 460, 480), box));
    EXPECT_TRUE(colorNear(pixel(frame, 820, 520), box));
    for (const sf::Vector2i p : {sf::Vector2i(438, 499), sf::Vector2i(439, 499),
                                 sf::Vector2i(840, 499), sf::Vector2i(841, 499),
                                 sf::Vector2i(640, 467), sf::Vector2i(640, 530)})
        EXPECT_TRUE(colorNear(pixel(frame, p.x, p.y), rgb(kTeal))) << p.x << ", " << p.y;
    EXPECT_TRUE(colorNear(pixel(frame, 436, 499), rgb(kNight)));

    // Name and cursor are centred together in the box, over the box's fill.
    expectText(frame, "ABC|", 28, rgb(kFrost), 640, 499.2, box);
    game.nameInput = "ABCDEFGHIJKL";
    frame = renderAndCapture(game);
    expectText(frame, "ABCDEFGHIJKL|", 28, rgb(kFrost), 640, 499.2, box);

    // The cursor blinks: "|" at T = 0 and 1.25, a blank at T = 0.5.
    game.nameInput.clear();
    const std::pair<float, bool> blink[] = {{0.f, true}, {0.5f, false}, {1.25f, true}};
    for (const auto& [t, shown] : blink) {
        game.animTime = t;
        frame = renderAndCapture(game);
        const auto bar = findInk(frame, 445, 472, 835, 527, rgb(kFrost), 8.0, box);
        EXPECT_EQ(bool(bar), shown) << "T = " << t;
        if (bar && shown) {
            EXPECT_NEAR(bar->centreX(), 640, 1.5);
            EXPECT_NEAR(bar->centreY(), 499.2, 1.5);
        }
    }
}

TEST_F(RenderScreens, PagesFollowTheWindowSize) {
    game.createWindow(true);
    ASSERT_EQ(game.window.getSize(), sf::Vector2u(1920, 1080))
        << "run under a 1920x1080 Xvfb screen";

    game.state = GameState::Title;
    sf::Image frame = renderAndCapture(game);
    expectText(frame, "TUNDREL", 72, rgb(kTeal), 960, 151.2);
    expectText(frame, "Venstreklikk / SPACE   :  Start / Slipp ball", 20, rgb(kFrost), 960,
               0.38f * 1080.f + 34);
    expectText(frame, "[ Klikk eller SPACE ] for a starte", 28, rgb(kPromptAtZero), 960, 810);

    game.state = GameState::HighScores;
    game.highScores = {{"Ola", 100}};
    frame = renderAndCapture(game);
    expectText(frame, "BESTE SPILLERE", 38, rgb(kAmber), 960, 120);
    expectTextAt(frame, "1.  Ola", 24, rgb(kAmber), 840, 220);
    expectText(frame, "[ Klikk eller SPACE ] Tilbake", 22, rgb(kPromptAtZero), 960, 960);

    game.state = GameState::NameEntry;
    frame = renderAndCapture(game);
    EXPECT_TRUE(colorNear(pixel(frame, 758, 561), rgb(kTeal)));
    EXPECT_TRUE(colorNear(pixel(frame, 1161, 561), rgb(kTeal)));
    EXPECT_TRUE(colorNear(pixel(frame, 756, 561), rgb(kNight)));
    // The veil reaches the far corner: the ice-blue dome under it is dimmed.
    game.state = GameState::LevelIntro;
    game.particles = {};
    Particle p;
    p.position = {1850.f, 1030.f};
    p.color = sf::Color(255, 255, 255);
    p.life = p.maxLife = 1.f;
    p.size = 30.f;
    game.particles.push_back(p);
    frame = renderAndCapture(game);
    EXPECT_TRUE(colorNear(pixel(frame, 1850, 1030),
                          over(add(rgb(kNight), sf::Color(255, 255, 255, 220)),
                               withAlpha(kNight, 180))));
}
