#include "app/Game.hpp"
#include "render/Layout.hpp"

#include <string>

void Game::drawMessagePanel(const std::string& title, const std::string& subtitle,
                            sf::Color accent) {
    const float w = frameSize().x;
    const float h = frameSize().y;

    drawText(title, 0.5f * w, 0.35f * h, 54, accent, true);
    drawText(subtitle, 0.5f * w, 0.46f * h, 26, Palette::Frost, true);
    drawText("POENG: " + std::to_string(score) + "   BEST: " + std::to_string(bestScore),
             0.5f * w, 0.54f * h, 22, Palette::IceBlue, true);
    drawText("Klikk eller SPACE for a fortsette", 0.5f * w, 0.65f * h, 24,
             layout::promptColor(animTime), true);
}
