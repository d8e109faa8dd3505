#include "app/Game.hpp"
#include "render/Layout.hpp"
#include "scores/ScoreFile.hpp"

#include <algorithm>
#include <string>

namespace {

void drawGlow(Game& game, float radius, sf::Vector2f centre, sf::Color color) {
    sf::CircleShape glow(radius, kCirclePoints);
    glow.setOrigin({radius, radius});
    glow.setPosition(centre);
    glow.setFillColor(color);
    game.paint(glow, render::Ink::Glow);
}

void drawDivider(Game& game, const compat::Box& box, sf::Color color) {
    sf::RectangleShape divider({box.width, box.height});
    divider.setPosition({box.left, box.top});
    divider.setFillColor(color);
    game.paint(divider);
}

}  // namespace

void Game::drawSidebar() {
    const float w = frameSize().x;
    const float h = frameSize().y;
    if (!layout::sidebarVisible(w, h))
        return;
    const layout::SidebarGeometry g = layout::sidebarGeometry(w, h);
    const float xL = g.leftCentre;
    const float xR = g.rightCentre;

    // Left band: the game in progress.
    drawGlow(*this, g.glowRadius, {xL, 0.3f * h}, withAlpha(Palette::Teal, 15));
    drawText("LEVEL", xL, 0.10f * h, 18, Palette::Violet, true);
    drawText(std::to_string(level) + " / " + std::to_string(kLevelCount), xL,
             0.14f * h, 32, Palette::Teal, true);
    drawText("POENG", xL, 0.23f * h, 18, Palette::Violet, true);
    drawText(std::to_string(score), xL, 0.27f * h, 28, Palette::Frost, true);
    drawText("BEST", xL, 0.35f * h, 18, Palette::Violet, true);
    drawText(std::to_string(bestScore), xL, 0.39f * h, 24, Palette::IceBlue, true);
    drawText("LIV", xL, 0.47f * h, 18, Palette::Violet, true);
    for (int i = 0; i < lives; ++i) {
        sf::CircleShape marker(14.f, kCirclePoints);
        marker.setOutlineThickness(2.f);
        marker.setFillColor(Palette::Teal);
        marker.setOutlineColor(kLifeMarkerOutlineColor);
        marker.setPosition(layout::sidebarMarkerPosition(g, h, lives, i));
        paint(marker);
    }
    drawText("BALL", xL, 0.60f * h, 16, Palette::Violet, true);
    drawText(std::to_string(layout::levelSpeed(level)) + " px/s", xL, 0.64f * h, 18,
             Palette::Amber, true);
    drawDivider(*this, layout::sidebarLeftDivider(g, h), withAlpha(Palette::Teal, 60));

    // Right band: the table, the bricks left, the maker.
    drawGlow(*this, g.glowRadius, {xR, 0.5f * h}, withAlpha(Palette::IceBlue, 12));
    drawText("HIGH SCORES", xR, 0.10f * h, 16, Palette::Amber, true);
    if (highScores.empty()) {
        drawText("Ingen enn\xC3\xA5!", xR, 0.16f * h, 14, sf::Color(100, 100, 150, 255), true);
    } else {
        const int rows = static_cast<int>(std::min(highScores.size(), kMaxHighScores));
        for (int i = 0; i < rows; ++i) {
            const HighScoreEntry& entry = highScores[static_cast<std::size_t>(i)];
            const sf::Color color = layout::rankColor(i);
            const float step = 0.07f * static_cast<float>(i);
            drawText(std::to_string(i + 1) + ". " + entry.name, xR, (0.16f + step) * h, 14,
                     color, true);
            drawText(std::to_string(entry.score), xR, (0.20f + step) * h, 16, color, true);
        }
    }
    drawText("BRIKKER", xR, 0.58f * h, 16, Palette::Violet, true);
    drawText(std::to_string(layout::aliveBrickCount(bricks)), xR, 0.62f * h, 28, Palette::Frost,
             true);
    drawText(SITE_LABEL, xR, 0.82f * h, 14, withAlpha(Palette::IceBlue, 180), true);
    drawText("Vi finner", xR, 0.87f * h, 13, withAlpha(Palette::Teal, 140), true);
    drawText("aldri pa svar", xR, 0.91f * h, 13, withAlpha(Palette::Teal, 140), true);
    drawDivider(*this, layout::sidebarRightDivider(g, w, h), withAlpha(Palette::IceBlue, 60));
}
