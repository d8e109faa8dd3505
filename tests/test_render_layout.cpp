// The arithmetic behind the pictures, checked against numbers worked out by
// hand from the game's drawing rules.
#include "render/Layout.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace {

void expectColor(sf::Color actual, int r, int g, int b, int a = 255) {
    EXPECT_EQ(actual.r, r);
    EXPECT_EQ(actual.g, g);
    EXPECT_EQ(actual.b, b);
    EXPECT_EQ(actual.a, a);
}

Particle particle(float life, float maxLife, float size) {
    Particle p;
    p.life = life;
    p.maxLife = maxLife;
    p.size = size;
    return p;
}

}  // namespace

TEST(FrameLayout, BackdropGridHasOneLineEverySixtyPixels) {
    const std::vector<sf::Vertex> grid = layout::backdropVertices(1280, 960);
    ASSERT_EQ(grid.size(), 76u);  // 22 vertical + 16 horizontal lines
    for (int i = 0; i < 22; ++i) {
        EXPECT_EQ(grid[2 * i].position, sf::Vector2f(60.f * i, 0.f));
        EXPECT_EQ(grid[2 * i + 1].position, sf::Vector2f(60.f * i, 960.f));
    }
    for (int j = 0; j < 16; ++j) {
        EXPECT_EQ(grid[44 + 2 * j].position, sf::Vector2f(0.f, 60.f * j));
        EXPECT_EQ(grid[44 + 2 * j + 1].position, sf::Vector2f(1280.f, 60.f * j));
    }
    for (const sf::Vertex& v : grid)
        EXPECT_EQ(v.color, sf::Color(10, 40, 80, 35));

    EXPECT_EQ(layout::backdropVertices(1920, 1080).size(), 2u * (32 + 18));
    // A width that is a multiple of 60 gets no line on its right edge.
    const std::vector<sf::Vertex> even = layout::backdropVertices(1200, 600);
    ASSERT_EQ(even.size(), 2u * (20 + 10));
    EXPECT_EQ(even[38].position.x, 1140.f);
    EXPECT_TRUE(layout::backdropVertices(0, 0).empty());
}

TEST(FrameLayout, AuroraDomesAndSparks) {
    const layout::AuroraCircle a0 = layout::auroraCircle(0, 0.f, 1280.f);
    const layout::AuroraCircle a1 = layout::auroraCircle(1, 0.f, 1280.f);
    const layout::AuroraCircle a2 = layout::auroraCircle(2, 0.f, 1280.f);
    EXPECT_FLOAT_EQ(a0.radius, 250.f);
    EXPECT_NEAR(a1.radius, 310.4f, 0.05f);
    EXPECT_NEAR(a2.radius, 189.0f, 0.05f);
    EXPECT_FLOAT_EQ(a0.centre.x, 320.f);
    EXPECT_FLOAT_EQ(a0.centre.y, 0.f);
    EXPECT_NEAR(a1.centre.x, 673.7f, 0.05f);
    EXPECT_NEAR(a2.centre.x, 996.4f, 0.05f);
    EXPECT_NEAR(a1.centre.y, 30 * std::sin(1.3), 1e-3);
    EXPECT_NEAR(a2.centre.y, 30 * std::sin(2.6), 1e-3);
    EXPECT_EQ(a0.color, sf::Color(108, 92, 231, 18));
    EXPECT_EQ(a1.color, sf::Color(29, 158, 117, 18));
    EXPECT_EQ(a2.color, sf::Color(55, 138, 221, 18));

    // Later in time, in a wider window.
    const double t = 2.5;
    const layout::AuroraCircle b2 = layout::auroraCircle(2, 2.5f, 1920.f);
    EXPECT_NEAR(b2.radius, 250 + 70 * std::sin(t + 4.2), 1e-3);
    EXPECT_NEAR(b2.centre.x, 1440 + 40 * std::sin(0.7 * t + 2), 1e-3);
    EXPECT_NEAR(b2.centre.y, 30 * std::sin(2.6 + 0.5 * t), 1e-3);

    // Sparks shrink and fade linearly with the life left.
    EXPECT_FLOAT_EQ(layout::particleRadius(particle(0.8f, 0.8f, 5.f)), 5.f);
    EXPECT_EQ(layout::particleAlpha(particle(0.8f, 0.8f, 5.f)), 220);
    EXPECT_FLOAT_EQ(layout::particleRadius(particle(0.25f, 1.f, 4.f)), 1.f);
    EXPECT_EQ(layout::particleAlpha(particle(0.25f, 1.f, 4.f)), 55);
    EXPECT_EQ(layout::particleAlpha(particle(0.5f, 1.f, 4.f)), 110);
    EXPECT_EQ(layout::particleAlpha(particle(0.f, 1.f, 4.f)), 0);
    EXPECT_EQ(layout::particleAlpha(particle(0.001f, 1.f, 4.f)), 0);  // 0.22 truncates
}

TEST(PlayfieldLayout, GlowPulseCheerAndMarkers) {
    // g = 50 at phase 0, 80 at the top of the pulse, 20 at the bottom.
    const float top = 3.14159265f / 8.f;
    const float bottom = 3.f * 3.14159265f / 8.f;
    const int expected[3][3] = {{50, 25, 16}, {80, 40, 26}, {20, 10, 6}};
    const float phases[3] = {0.f, top, bottom};
    for (int row = 0; row < 3; ++row)
        for (int k = 1; k <= 3; ++k)
            EXPECT_EQ(layout::paddleGlowAlpha(phases[row], k), expected[row][k - 1])
                << "phase " << phases[row] << " ring " << k;
    EXPECT_EQ(layout::paddleGlowSize(3), sf::Vector2f(160.f, 33.f));
    EXPECT_EQ(layout::paddleGlowSize(2), sf::Vector2f(150.f, 28.f));
    EXPECT_EQ(layout::paddleGlowSize(1), sf::Vector2f(140.f, 23.f));

    EXPECT_FLOAT_EQ(layout::ballGlowRadius(3), 23.f);
    EXPECT_FLOAT_EQ(layout::ballGlowRadius(2), 19.f);
    EXPECT_FLOAT_EQ(layout::ballGlowRadius(1), 15.f);
    EXPECT_EQ(layout::ballGlowAlpha(3), 15);
    EXPECT_EQ(layout::ballGlowAlpha(2), 22);
    EXPECT_EQ(layout::ballGlowAlpha(1), 45);

    EXPECT_EQ(layout::cheerAlpha(2.f), 255);
    EXPECT_EQ(layout::cheerAlpha(0.5f), 255);
    EXPECT_EQ(layout::cheerAlpha(0.25f), 127);
    EXPECT_EQ(layout::cheerAlpha(0.1f), 51);
    EXPECT_EQ(layout::cheerAlpha(0.f), 0);

    EXPECT_EQ(layout::hudMarkerPosition(1280.f, 0), sf::Vector2f(1230.f, 48.f));
    EXPECT_EQ(layout::hudMarkerPosition(1280.f, 1), sf::Vector2f(1200.f, 48.f));
    EXPECT_EQ(layout::hudMarkerPosition(1280.f, 2), sf::Vector2f(1170.f, 48.f));
    EXPECT_EQ(layout::hudMarkerPosition(1920.f, 0), sf::Vector2f(1870.f, 48.f));

    // The HUD's brick count gives way to the sidebar above a ratio of 1.7.
    EXPECT_TRUE(layout::hudShowsBrickCount(1280.f, 960.f));
    EXPECT_TRUE(layout::hudShowsBrickCount(1680.f, 1050.f));
    EXPECT_TRUE(layout::hudShowsBrickCount(1700.f, 1000.f));
    EXPECT_TRUE(layout::hudShowsBrickCount(1020.f, 600.f));
    EXPECT_FALSE(layout::hudShowsBrickCount(1920.f, 1080.f));

    std::vector<Brick> bricks(5);
    bricks[1].alive = false;
    bricks[4].alive = false;
    EXPECT_EQ(layout::aliveBrickCount(bricks), 3);
    EXPECT_EQ(layout::aliveBrickCount({}), 0);
}

TEST(SidebarLayout, GeometryGateMarkersAndSpeeds) {
    const layout::SidebarGeometry g = layout::sidebarGeometry(1920.f, 1080.f);
    EXPECT_FLOAT_EQ(g.playWidth, 1458.f);
    EXPECT_FLOAT_EQ(g.band, 231.f);
    EXPECT_FLOAT_EQ(g.leftCentre, 115.5f);
    EXPECT_FLOAT_EQ(g.rightCentre, 1804.5f);
    EXPECT_NEAR(g.glowRadius, 176.8f, 1e-3f);

    const compat::Box left = layout::sidebarLeftDivider(g, 1080.f);
    EXPECT_FLOAT_EQ(left.left, 226.f);
    EXPECT_FLOAT_EQ(left.top, 81.f);
    EXPECT_FLOAT_EQ(left.width, 2.f);
    EXPECT_FLOAT_EQ(left.height, 918.f);
    const compat::Box right = layout::sidebarRightDivider(g, 1920.f, 1080.f);
    EXPECT_FLOAT_EQ(right.left, 1694.f);
    EXPECT_FLOAT_EQ(right.top, 81.f);
    EXPECT_FLOAT_EQ(right.height, 918.f);

    // A window narrower than 1.35 H leaves no bands at all.
    EXPECT_FLOAT_EQ(layout::sidebarGeometry(1280.f, 960.f).band, 0.f);

    EXPECT_TRUE(layout::sidebarVisible(1920.f, 1080.f));
    EXPECT_TRUE(layout::sidebarVisible(2560.f, 1080.f));
    EXPECT_FALSE(layout::sidebarVisible(1280.f, 960.f));
    EXPECT_FALSE(layout::sidebarVisible(1680.f, 1050.f));
    EXPECT_FALSE(layout::sidebarVisible(1700.f, 1000.f));  // exactly 1.7
    EXPECT_FALSE(layout::sidebarVisible(1020.f, 600.f));   // exactly 1.7
    EXPECT_FALSE(layout::sidebarVisible(640.f, 360.f));    // bands only 77 wide
    EXPECT_TRUE(layout::sidebarVisible(720.f, 400.f));     // bands exactly 90
    EXPECT_FALSE(layout::sidebarVisible(719.f, 400.f));

    EXPECT_EQ(layout::sidebarMarkerPosition(g, 1080.f, 3, 0), sf::Vector2f(64.5f, 0.52f * 1080.f));
    EXPECT_EQ(layout::sidebarMarkerPosition(g, 1080.f, 3, 1).x, 98.5f);
    EXPECT_EQ(layout::sidebarMarkerPosition(g, 1080.f, 3, 2).x, 132.5f);
    EXPECT_EQ(layout::sidebarMarkerPosition(g, 1080.f, 1, 0).x, 98.5f);

    const int speeds[5] = {445, 510, 575, 640, 705};
    for (int level = 1; level <= 5; ++level)
        EXPECT_EQ(layout::levelSpeed(level), speeds[level - 1]);

    EXPECT_EQ(layout::rankColor(0), sf::Color(240, 160, 48));
    EXPECT_EQ(layout::rankColor(1), sf::Color(216, 232, 248));
    for (int row = 2; row < 5; ++row)
        EXPECT_EQ(layout::rankColor(row), sf::Color(55, 138, 221));
}

TEST(ScreenLayout, PulsesAndCursor) {
    // The prompt of the title, panel and list pages: teal to frost.
    expectColor(layout::promptColor(0.f), 122, 195, 182);
    expectColor(layout::promptColor(1.f), 135, 200, 191);  // p = 0.57056
    expectColor(layout::blendChannels(sf::Color(29, 158, 117), sf::Color(216, 232, 248), 1.f),
                216, 232, 248);
    expectColor(layout::blendChannels(sf::Color(29, 158, 117), sf::Color(216, 232, 248), 0.f),
                29, 158, 117);

    // Level intro: both colours ride one phase with speed 4.
    expectColor(layout::introHeadingColor(0.f), 134, 159, 82);
    expectColor(layout::introPromptColor(0.f), 122, 195, 182);
    const float trough = 3.f * 3.14159265f / 8.f;  // sin(4 T) = -1
    expectColor(layout::introHeadingColor(trough), 29, 158, 117);
    expectColor(layout::introPromptColor(trough), 216, 232, 248);
    expectColor(layout::introHeadingColor(0.5f), 230, 159, 51);  // p = 0.95465

    EXPECT_EQ(layout::nameCursor(0.f), "|");
    EXPECT_EQ(layout::nameCursor(0.49f), "|");
    EXPECT_EQ(layout::nameCursor(0.5f), " ");
    EXPECT_EQ(layout::nameCursor(0.75f), " ");
    EXPECT_EQ(layout::nameCursor(1.25f), "|");
    EXPECT_EQ(layout::nameCursor(1.5f), " ");
}
