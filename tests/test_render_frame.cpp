// Whole frames read back from the window: the common background layers, the
// sparks, and which page each state lays over them.
#include "RenderTestSupport.hpp"

#include <cmath>

using namespace render_test;

namespace {

const sf::Color kNight(4, 8, 20);
const sf::Color kTeal(29, 158, 117);
const sf::Color kAmber(240, 160, 48);

class RenderFrame : public ::testing::Test {
protected:
    void SetUp() override {
        prepareQuietGame(game);
        ASSERT_EQ(game.window.getSize(), sf::Vector2u(1280, 960));
    }

    Particle spark(sf::Vector2f at, sf::Color color, float life, float maxLife, float size) {
        Particle p;
        p.position = at;
        p.color = color;
        p.life = life;
        p.maxLife = maxLife;
        p.size = size;
        return p;
    }

    Game game;
};

}  // namespace

TEST_F(RenderFrame, BackdropGridAndAuroraLieUnderEveryPage) {
    EXPECT_EQ(game.backdropLines.size(), 76u);
    game.state = GameState::Title;

    // Samples clear of the title's texts: open night, each dome alone, two
    // domes overlapping.
    const sf::Vector2i samples[] = {{30, 630}, {320, 100}, {680, 200}, {910, 100},
                                    {1210, 700}, {150, 280}};
    for (float t : {0.f, 1.f, 4.f}) {
        game.animTime = t;
        const sf::Image frame = renderAndCapture(game);
        for (const sf::Vector2i& s : samples)
            EXPECT_TRUE(colorNear(pixel(frame, s.x, s.y), backdropAt(s.x, s.y, 1280.f, t)))
                << "at (" << s.x << ", " << s.y << "), animTime " << t;
    }

    // The grid line x = 60 and y = 660 in the open night: grid colour at
    // alpha 35 over night, one pixel wide.
    game.animTime = 0.f;
    const sf::Image frame = renderAndCapture(game);
    const Rgb line = over(rgb(kNight), sf::Color(10, 40, 80, 35));
    int hits = 0;
    for (int x = 58; x <= 62; ++x)
        hits += colorNear(pixel(frame, x, 630), line, 1.0) ? 1 : 0;
    EXPECT_EQ(hits, 1);
    hits = 0;
    for (int y = 658; y <= 662; ++y)
        hits += colorNear(pixel(frame, 30, y), line, 1.0) ? 1 : 0;
    EXPECT_EQ(hits, 1);
    EXPECT_TRUE(colorNear(pixel(frame, 30, 630), rgb(kNight), 0.0));
}

TEST_F(RenderFrame, SparksShrinkAndFadeWithTheirLife) {
    game.state = GameState::Title;
    game.particles = {
        spark({150.f, 650.f}, sf::Color(255, 255, 255), 1.f, 1.f, 20.f),  // just born
        spark({150.f, 790.f}, kAmber, 0.5f, 1.f, 20.f),                   // half spent
        spark({1130.f, 650.f}, sf::Color(255, 255, 255), 0.f, 1.f, 20.f),  // spent
    };
    const sf::Image frame = renderAndCapture(game);
    const Rgb night = rgb(kNight);

    EXPECT_TRUE(colorNear(pixel(frame, 150, 650), add(night, sf::Color(255, 255, 255, 220))));
    EXPECT_TRUE(colorNear(pixel(frame, 167, 650), add(night, sf::Color(255, 255, 255, 220))));
    EXPECT_TRUE(colorNear(pixel(frame, 172, 650), night));

    // Radius 10, alpha 110.
    EXPECT_TRUE(colorNear(pixel(frame, 150, 790), add(night, withAlpha(kAmber, 110))));
    EXPECT_TRUE(colorNear(pixel(frame, 157, 790), add(night, withAlpha(kAmber, 110))));
    EXPECT_TRUE(colorNear(pixel(frame, 163, 790), night));
    EXPECT_TRUE(colorNear(pixel(frame, 150, 804), night));

    EXPECT_TRUE(colorNear(pixel(frame, 1130, 650), night, 0.0));
}

// Each page over the same bright spark and the same HUD marker and paddle:
// the veil's strength shows on the spark, the page's layers on the others.
struct PageCase {
    GameState state;
    int level;
    int veilAlpha;     // 0: no veil
    bool paddleShown;  // paddle and ball
    bool hudShown;
};

class PageVeils : public RenderFrame, public ::testing::WithParamInterface<PageCase> {};

TEST_P(PageVeils, VeilStrengthAndWhatLiesBeneath) {
    const PageCase& page = GetParam();
    game.state = page.state;
    game.level = page.level;
    game.lives = 1;
    game.introCountdown = 3.f;
    game.particles = {spark({150.f, 650.f}, sf::Color(255, 255, 255), 2.f, 2.f, 30.f)};
    const sf::Image frame = renderAndCapture(game);

    auto veiled = [&](Rgb beneath) {
        return page.veilAlpha > 0 ? over(beneath, withAlpha(kNight, std::uint8_t(page.veilAlpha)))
                                  : beneath;
    };
    const Rgb night = rgb(kNight);
    EXPECT_TRUE(colorNear(pixel(frame, 150, 650),
                          veiled(add(night, sf::Color(255, 255, 255, 220)))));
    EXPECT_TRUE(colorNear(pixel(frame, 162, 670),
                          veiled(add(night, sf::Color(255, 255, 255, 220)))));
    EXPECT_TRUE(colorNear(pixel(frame, 640, 890), veiled(page.paddleShown ? rgb(kTeal) : night)));
    EXPECT_TRUE(colorNear(pixel(frame, 1240, 58), veiled(page.hudShown ? rgb(kTeal) : night)));
    // Only one ball left: no second marker.
    EXPECT_TRUE(colorNear(pixel(frame, 1210, 58), veiled(night)));
}

INSTANTIATE_TEST_SUITE_P(
    EveryState, PageVeils,
    ::testing::Values(PageCase{GameState::Title, 1, 0, false, false},
                      PageCase{GameState::Playing, 1, 0, true, true},
                      PageCase{GameState::Paused, 2, 200, true, true},
                      PageCase{GameState::GameOver, 3, 200, false, true},
                      PageCase{GameState::GameOver, 6, 200, false, true},
                      PageCase{GameState::NameEntry, 1, 220, false, false},
                      PageCase{GameState::HighScores, 1, 230, false, false},
                      PageCase{GameState::LevelIntro, 2, 180, false, false}));
