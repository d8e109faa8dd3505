// The playfield, the HUD and the sidebar, read back from real frames.
#include "RenderTestSupport.hpp"

#include <cmath>

using namespace render_test;

namespace {

const sf::Color kNight(4, 8, 20);
const sf::Color kViolet(108, 92, 231);
const sf::Color kTeal(29, 158, 117);
const sf::Color kIceBlue(55, 138, 221);
const sf::Color kAmber(240, 160, 48);
const sf::Color kFrost(216, 232, 248);

class RenderPlay : public ::testing::Test {
protected:
    void SetUp() override {
        prepareQuietGame(game);
        game.state = GameState::Playing;
    }

    // Text of one colour found in a region, centred where expected.
    void expectCentredInk(const sf::Image& frame, Rgb color, double cx, double cy, int halfW,
                          int halfH, double tolerance = 6.0) {
        const auto ink = findInk(frame, int(cx) - halfW, int(cy) - halfH, int(cx) + halfW,
                                 int(cy) + halfH, color, tolerance);
        ASSERT_TRUE(ink) << "no ink near (" << cx << ", " << cy << ")";
        EXPECT_NEAR(ink->centreX(), cx, 2.0);
        EXPECT_NEAR(ink->centreY(), cy, 2.0);
    }

    Game game;
};

}  // namespace

TEST_F(RenderPlay, BricksWithTheirHalos) {
    // Row 0 looks: an ordinary brick, a reinforced one, a cracked one and a
    // broken one, placed below the aurora.
    const sf::Color outline = withAlpha(kViolet, 180);
    game.bricks = {
        makeBrick({105.f, 420.f}, kViolet, sf::Color(27, 23, 57, 220), outline),
        makeBrick({212.f, 420.f}, kViolet, sf::Color(60, 50, 10, 220), kAmber),
        makeBrick({319.f, 420.f}, kViolet, sf::Color(100, 80, 20, 220), kAmber),
        makeBrick({426.f, 420.f}, kIceBlue, sf::Color(13, 34, 55, 220), withAlpha(kIceBlue, 180)),
    };
    game.bricks[3].alive = false;
    const sf::Image frame = renderAndCapture(game);

    const Rgb night = backdropAt(155, 435, 1280.f, 0.f);
    const Rgb halo = add(night, withAlpha(kViolet, 25));
    EXPECT_TRUE(colorNear(pixel(frame, 155, 435), over(halo, sf::Color(27, 23, 57, 220))));
    EXPECT_TRUE(colorNear(pixel(frame, 262, 435), over(halo, sf::Color(60, 50, 10, 220))));
    EXPECT_TRUE(colorNear(pixel(frame, 369, 435), over(halo, sf::Color(100, 80, 20, 220))));

    // The halo reaches 4 px beyond the brick, past its 1.5 px outline.
    EXPECT_TRUE(colorNear(pixel(frame, 104, 435), over(halo, outline)));
    EXPECT_TRUE(colorNear(pixel(frame, 102, 435), halo));
    EXPECT_TRUE(colorNear(pixel(frame, 155, 417), halo));
    EXPECT_TRUE(colorNear(pixel(frame, 155, 452), halo));
    EXPECT_TRUE(colorNear(pixel(frame, 100, 435), night));
    EXPECT_TRUE(colorNear(pixel(frame, 155, 414), night));

    // A broken brick leaves neither body nor halo.
    EXPECT_TRUE(colorNear(pixel(frame, 476, 435), night, 0.0));
    EXPECT_TRUE(colorNear(pixel(frame, 424, 435), night, 0.0));
}

TEST_F(RenderPlay, PaddleAndBallGlowInRings) {
    const Rgb night = rgb(kNight);
    auto teal = [](int a) { return withAlpha(kTeal, std::uint8_t(a)); };
    auto ice = [](int a) { return withAlpha(kIceBlue, std::uint8_t(a)); };

    // Phase 0: the pulse stands at g = 50, rings at 16, 25 and 50.
    sf::Image frame = renderAndCapture(game);
    EXPECT_TRUE(colorNear(pixel(frame, 640, 890), rgb(kTeal), 0.0));
    EXPECT_TRUE(colorNear(pixel(frame, 708, 890), add(add(add(night, teal(16)), teal(25)), teal(50))));
    EXPECT_TRUE(colorNear(pixel(frame, 571, 890), add(add(add(night, teal(16)), teal(25)), teal(50))));
    EXPECT_TRUE(colorNear(pixel(frame, 712, 890), add(add(night, teal(16)), teal(25))));
    EXPECT_TRUE(colorNear(pixel(frame, 717, 890), add(night, teal(16))));
    EXPECT_TRUE(colorNear(pixel(frame, 722, 890), night));
    EXPECT_TRUE(colorNear(pixel(frame, 640, 902), add(add(night, teal(16)), teal(25))));
    EXPECT_TRUE(colorNear(pixel(frame, 640, 905), add(night, teal(16))));

    EXPECT_TRUE(colorNear(pixel(frame, 640, 859), rgb(kFrost), 0.0));
    EXPECT_TRUE(colorNear(pixel(frame, 653, 859), add(add(add(night, ice(15)), ice(22)), ice(45))));
    EXPECT_TRUE(colorNear(pixel(frame, 626, 859), add(add(add(night, ice(15)), ice(22)), ice(45))));
    EXPECT_TRUE(colorNear(pixel(frame, 657, 859), add(add(night, ice(15)), ice(22))));
    EXPECT_TRUE(colorNear(pixel(frame, 661, 859), add(night, ice(15))));
    EXPECT_TRUE(colorNear(pixel(frame, 665, 859), night));
    EXPECT_TRUE(colorNear(pixel(frame, 640, 838), add(night, ice(15))));

    // Top of the pulse: g = 80, rings at 26, 40 and 80; the ball's glow
    // does not pulse.
    game.paddleGlowPhase = 3.14159265f / 8.f;
    frame = renderAndCapture(game);
    EXPECT_TRUE(colorNear(pixel(frame, 708, 890), add(add(add(night, teal(26)), teal(40)), teal(80))));
    EXPECT_TRUE(colorNear(pixel(frame, 717, 890), add(night, teal(26))));
    EXPECT_TRUE(colorNear(pixel(frame, 653, 859), add(add(add(night, ice(15)), ice(22)), ice(45))));

    // Glows follow the shapes wherever they are.
    game.paddle.setPosition({300.f, 890.f});
    game.ball.setPosition({900.f, 600.f});
    frame = renderAndCapture(game);
    EXPECT_TRUE(colorNear(pixel(frame, 300, 890), rgb(kTeal), 0.0));
    EXPECT_TRUE(colorNear(pixel(frame, 377, 890), add(night, teal(26))));
    EXPECT_TRUE(colorNear(pixel(frame, 900, 600), rgb(kFrost), 0.0));
    EXPECT_TRUE(colorNear(pixel(frame, 921, 605), add(night, ice(15))));
    EXPECT_TRUE(colorNear(pixel(frame, 640, 890), night));
}

TEST_F(RenderPlay, HudTextsMarkersAndCheer) {
    game.level = 3;
    game.score = 1234;
    game.bestScore = 56789;
    game.lives = 3;
    game.ball.setPosition({300.f, 700.f});
    // Nine standing bricks and one broken: the count must read 9, not 10.
    for (int i = 0; i < 10; ++i)
        game.bricks.push_back(makeBrick({105.f + 107.f * i, 420.f}, kViolet,
                                        sf::Color(27, 23, 57, 220), withAlpha(kViolet, 180)));
    game.bricks[4].alive = false;
    game.cheerText = "Pr\xC3\xB8v igjen!";
    game.cheerTimer = 1.f;
    sf::Image frame = renderAndCapture(game);

    // Top-left anchored: the glyph box sits at the position plus its offset.
    const struct {
        std::string text;
        sf::Color color;
        float x, y;
    } topLeft[] = {{"LEVEL 3/5", kViolet, 20.f, 20.f}, {"POENG: 1234", kTeal, 20.f, 48.f}};
    for (const auto& t : topLeft) {
        const compat::Box b = textBounds(game.font, t.text, 20);
        const auto ink = findInk(frame, 0, int(t.y) - 2, 400, int(t.y) + 26, rgb(t.color));
        ASSERT_TRUE(ink) << t.text;
        EXPECT_NEAR(ink->left, t.x + b.left, 1.5) << t.text;
        EXPECT_NEAR(ink->top, t.y + b.top, 1.5) << t.text;
        EXPECT_NEAR(ink->right + 1, t.x + b.right(), 1.5) << t.text;
        EXPECT_NEAR(ink->bottom + 1, t.y + b.bottom(), 1.5) << t.text;
    }

    expectCentredInk(frame, rgb(kIceBlue), 640.0, 20.0, 200, 18);
    const compat::Box best = textBounds(game.font, "BEST: 56789", 20);
    const auto bestInk = findInk(frame, 440, 2, 840, 38, rgb(kIceBlue));
    ASSERT_TRUE(bestInk);
    EXPECT_NEAR(bestInk->right - bestInk->left + 1, best.width, 2.0);

    // The brick count ends 20 px from the right edge.
    const Rgb countColor = over(rgb(kNight), sf::Color(100, 200, 160, 180));
    const auto count = findInk(frame, 900, 10, 1280, 46, countColor);
    ASSERT_TRUE(count);
    EXPECT_NEAR(count->right + 1, 1260.0, 1.5);
    EXPECT_NEAR(count->right + 1 - count->left, textBounds(game.font, "BRIKKER: 9", 16).width, 2.0);
    EXPECT_GE(count->top, 20);
    EXPECT_LE(count->bottom, 20 + 16 + 4);

    // Three markers whose boxes start at x = 1230, 1200, 1170, y = 48.
    for (int x : {1240, 1210, 1180})
        EXPECT_TRUE(colorNear(pixel(frame, x, 58), rgb(kTeal), 0.0)) << x;
    EXPECT_TRUE(colorNear(pixel(frame, 1150, 58), backdropAt(1150, 58, 1280.f, 0.f)));
    EXPECT_TRUE(colorNear(pixel(frame, 1250, 58), rgb(sf::Color(100, 230, 180))));

    // The cheer, opaque, centred at (W / 2, H − 100); its ø is one letter.
    expectCentredInk(frame, rgb(kAmber), 640.0, 860.0, 300, 25);
    const auto cheer = findInk(frame, 340, 835, 940, 885, rgb(kAmber));
    ASSERT_TRUE(cheer);
    EXPECT_NEAR(cheer->right - cheer->left + 1,
                textBounds(game.font, "Pr\xC3\xB8v igjen!", 24).width, 2.0);

    // The footer, faint ice blue, centred at (W / 2, H − 28).
    expectCentredInk(frame, over(rgb(kNight), withAlpha(kIceBlue, 90)), 640.0, 932.0, 400, 12,
                     3.0);

    // In its last half second the cheer fades; at 0 it is gone.
    game.cheerTimer = 0.25f;
    game.lives = 1;
    frame = renderAndCapture(game);
    EXPECT_FALSE(findInk(frame, 340, 835, 940, 885, rgb(kAmber), 8.0, rgb(kNight), 0.8));
    expectCentredInk(frame, over(rgb(kNight), withAlpha(kAmber, 127)), 640.0, 860.0, 300, 25,
                     3.0);
    EXPECT_TRUE(colorNear(pixel(frame, 1240, 58), rgb(kTeal), 0.0));
    EXPECT_TRUE(colorNear(pixel(frame, 1210, 58), rgb(kNight), 3.0));

    game.cheerTimer = 0.f;
    game.lives = 0;
    frame = renderAndCapture(game);
    EXPECT_FALSE(findInk(frame, 340, 835, 940, 885, over(rgb(kNight), withAlpha(kAmber, 127))));
    EXPECT_TRUE(colorNear(pixel(frame, 1240, 58), rgb(kNight), 3.0));
}

TEST_F(RenderPlay, NoSidebarInTheOrdinaryWindow) {
    game.highScores = {{"Ola", 900}};
    const sf::Image frame = renderAndCapture(game);
    // Nothing brighter than the backdrop in the strip where a left band would be.
    int bright = 0;
    for (int y = 70; y < 850; ++y)
        for (int x = 0; x < 100; ++x) {
            const sf::Color c = pixel(frame, x, y);
            bright += (c.r > 60 || c.g > 60 || c.b > 60) ? 1 : 0;
        }
    EXPECT_EQ(bright, 0);
}

TEST_F(RenderPlay, SidebarInAWideFullscreenWindow) {
    game.createWindow(true);
    ASSERT_EQ(game.window.getSize(), sf::Vector2u(1920, 1080))
        << "run under a 1920x1080 Xvfb screen";
    EXPECT_EQ(game.backdropLines.size(), 100u);

    game.level = 3;
    game.score = 4321;
    game.lives = 3;
    game.paddle.setPosition({960.f, 1010.f});
    game.ball.setPosition({960.f, 979.f});
    game.highScores = {{"Ola", 900}, {"Kari", 800}, {"Nils", 700},
                       {"Per", 600}, {"Liv", 500},  {"Sjette", 400}};
    sf::Image frame = renderAndCapture(game);
    const Rgb night = rgb(kNight);

    // Left band, centre xL = 115.5.
    expectCentredInk(frame, rgb(kViolet), 115.5, 108.0, 100, 14);  // LEVEL
    expectCentredInk(frame, rgb(kTeal), 115.5, 151.2, 100, 22);    // 3 / 5
    expectCentredInk(frame, rgb(kFrost), 115.5, 291.6, 100, 20);   // 4321
    expectCentredInk(frame, rgb(kAmber), 115.5, 691.2, 100, 14);   // 575 px/s
    const auto speed = findInk(frame, 15, 677, 215, 705, rgb(kAmber));
    ASSERT_TRUE(speed);
    EXPECT_NEAR(speed->right - speed->left + 1, textBounds(game.font, "575 px/s", 18).width, 2.0);
    // Markers: boxes at xL − 51, xL − 17, xL + 17 and y = 0.52 H, radius 14.
    for (int x : {78, 112, 146})
        EXPECT_TRUE(colorNear(pixel(frame, x, 575), rgb(kTeal), 0.0)) << x;
    EXPECT_TRUE(colorNear(pixel(frame, 190, 575), night, 3.0));
    // The left glow, teal at alpha 15 around (xL, 0.3 H).
    EXPECT_TRUE(colorNear(pixel(frame, 30, 324), add(night, withAlpha(kTeal, 15))));
    // Dividers 2 px wide at x = 226 and x = 1694, from y = 81 to 999.
    for (int y : {100, 700, 990}) {
        EXPECT_TRUE(colorNear(pixel(frame, 226, y), over(night, withAlpha(kTeal, 60)))) << y;
        EXPECT_TRUE(colorNear(pixel(frame, 227, y), over(night, withAlpha(kTeal, 60)))) << y;
        EXPECT_TRUE(colorNear(pixel(frame, 1694, y), over(night, withAlpha(kIceBlue, 60)))) << y;
        EXPECT_TRUE(colorNear(pixel(frame, 1695, y), over(night, withAlpha(kIceBlue, 60)))) << y;
    }
    EXPECT_TRUE(colorNear(pixel(frame, 225, 700), night));
    EXPECT_TRUE(colorNear(pixel(frame, 228, 700), night));
    EXPECT_TRUE(colorNear(pixel(frame, 226, 75), night));
    EXPECT_TRUE(colorNear(pixel(frame, 226, 1003), night));

    // Right band, centre xR = 1804.5: five rows of the table, no sixth.
    expectCentredInk(frame, rgb(kAmber), 1804.5, 108.0, 100, 12);  // HIGH SCORES
    expectCentredInk(frame, rgb(kAmber), 1804.5, 172.8, 100, 10);  // 1. Ola
    expectCentredInk(frame, rgb(kAmber), 1804.5, 216.0, 100, 11);  // 900
    expectCentredInk(frame, rgb(kFrost), 1804.5, 248.4, 100, 10);  // 2. Kari
    expectCentredInk(frame, rgb(kIceBlue), 1804.5, 324.0, 100, 10);  // 3. Nils
    expectCentredInk(frame, rgb(kIceBlue), 1804.5, 475.2, 100, 10);  // 5. Liv
    expectCentredInk(frame, rgb(kIceBlue), 1804.5, 518.4, 100, 11);  // 500
    EXPECT_FALSE(findInk(frame, 1700, 540, 1910, 600, rgb(kIceBlue)));
    const auto firstRow = findInk(frame, 1700, 160, 1910, 186, rgb(kAmber));
    ASSERT_TRUE(firstRow);
    EXPECT_NEAR(firstRow->right - firstRow->left + 1, textBounds(game.font, "1. Ola", 14).width,
                2.0);
    expectCentredInk(frame, rgb(kViolet), 1804.5, 626.4, 100, 12);  // BRIKKER
    // The HUD leaves the brick count to the sidebar here.
    EXPECT_FALSE(findInk(frame, 1500, 10, 1915, 46, over(night, sf::Color(100, 200, 160, 180)), 8.0));

    // An empty table shows its notice, å as one letter.
    game.highScores.clear();
    frame = renderAndCapture(game);
    expectCentredInk(frame, rgb(sf::Color(100, 100, 150)), 1804.5, 172.8, 100, 12, 4.0);
    const auto notice = findInk(frame, 1700, 160, 1910, 186, rgb(sf::Color(100, 100, 150)), 4.0);
    ASSERT_TRUE(notice);
    EXPECT_NEAR(notice->right - notice->left + 1,
                textBounds(game.font, "Ingen enn\xC3\xA5!", 14).width, 2.0);

    // Back to the window: the grid is rebuilt, not appended to.
    game.createWindow(false);
    EXPECT_EQ(game.backdropLines.size(), 76u);
}
