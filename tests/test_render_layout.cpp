// The arithmetic behind the pictures, against numbers worked out by hand
// from the drawing rules.
#include "render/Layout.hpp"

#include <gtest/gtest.h>

#include <cmath>

TEST(RenderLayout, BackdropGridAndAurora) {
    const std::vector<sf::Vertex> grid = layout::backdropVertices(1280, 960);
    ASSERT_EQ(grid.size(), 76u);  // 22 vertical + 16 horizontal lines
    EXPECT_EQ(grid[43].position, sf::Vector2f(1260.f, 960.f));
    EXPECT_EQ(grid[75].position, sf::Vector2f(1280.f, 900.f));
    EXPECT_EQ(grid[75].color, sf::Color(10, 40, 80, 35));
    // A width that is a multiple of 60 gets no line on its right edge.
    EXPECT_EQ(layout::backdropVertices(1200, 600).size(), 2u * (20 + 10));

    const float radiusAndX[3][2] = {{250.f, 320.f}, {310.4f, 673.7f}, {189.0f, 996.4f}};
    const sf::Color colors[3] = {{108, 92, 231, 18}, {29, 158, 117, 18}, {55, 138, 221, 18}};
    for (int i = 0; i < 3; ++i) {
        const layout::AuroraCircle c = layout::auroraCircle(i, 0.f, 1280.f);
        EXPECT_NEAR(c.radius, radiusAndX[i][0], 0.05f) << i;
        EXPECT_NEAR(c.centre.x, radiusAndX[i][1], 0.05f) << i;
        EXPECT_NEAR(c.centre.y, 30 * std::sin(1.3 * i), 1e-3) << i;
        EXPECT_EQ(c.color, colors[i]) << i;
    }
}

TEST(RenderLayout, PulsesFadesAndCursor) {
    EXPECT_EQ(layout::promptColor(0.f), sf::Color(122, 195, 182));
    // The intro heading starts half way from teal to amber.
    EXPECT_EQ(layout::introHeadingColor(0.f), sf::Color(134, 159, 82));

    EXPECT_EQ(layout::cheerAlpha(0.5f), 255);
    EXPECT_EQ(layout::cheerAlpha(0.25f), 127);
    EXPECT_EQ(layout::cheerAlpha(0.f), 0);

    // Outer to inner ring: g = 50 at phase 0, 80 at the top of the pulse.
    const int atZero[3] = {50, 25, 16}, atTop[3] = {80, 40, 26};
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(layout::paddleGlowAlpha(0.f, k), atZero[k - 1]) << k;
        EXPECT_EQ(layout::paddleGlowAlpha(3.14159265f / 8.f, k), atTop[k - 1]) << k;
    }

    EXPECT_EQ(layout::nameCursor(0.f), "|");
    EXPECT_EQ(layout::nameCursor(0.5f), " ");
    EXPECT_EQ(layout::nameCursor(1.25f), "|");
}

TEST(RenderLayout, SidebarGeometryAndGate) {
    const layout::SidebarGeometry g = layout::sidebarGeometry(1920.f, 1080.f);
    EXPECT_FLOAT_EQ(g.playWidth, 1458.f);
    EXPECT_FLOAT_EQ(g.band, 231.f);
    EXPECT_FLOAT_EQ(g.leftCentre, 115.5f);
    EXPECT_FLOAT_EQ(g.rightCentre, 1804.5f);
    EXPECT_NEAR(g.glowRadius, 176.8f, 1e-3f);
    const compat::Box left = layout::sidebarLeftDivider(g, 1080.f);
    EXPECT_EQ(sf::Vector2f(left.left, left.top), sf::Vector2f(226.f, 81.f));
    EXPECT_EQ(sf::Vector2f(left.width, left.height), sf::Vector2f(2.f, 918.f));

    // Strictly above 1.7, and bands at least 90 wide; the HUD count gives way
    // to the sidebar on the ratio alone.
    const struct { float w, h; bool sidebar, hudCount; } gate[] = {
        {1920, 1080, true, false}, {1280, 960, false, true}, {1680, 1050, false, true},
        {1700, 1000, false, true}, {1020, 600, false, true}, {640, 360, false, false},
        {720, 400, true, false},   {719, 400, false, false}};
    for (const auto& c : gate) {
        EXPECT_EQ(layout::sidebarVisible(c.w, c.h), c.sidebar) << c.w << " x " << c.h;
        EXPECT_EQ(layout::hudShowsBrickCount(c.w, c.h), c.hudCount) << c.w << " x " << c.h;
    }
}
