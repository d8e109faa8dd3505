#include "app/Game.hpp"
#include "render/Layout.hpp"

#include <string>

void Game::drawHighScoreList() {
    const float w = frameSize().x;
    const float h = frameSize().y;

    drawText("BESTE SPILLERE", 0.5f * w, 120.f, 38, Palette::Amber, true);

    // Two left-aligned columns, so names and scores of any length line up.
    for (std::size_t i = 0; i < highScores.size(); ++i) {
        const int row = static_cast<int>(i);
        const float y = static_cast<float>(220 + 62 * row);
        const sf::Color color = layout::rankColor(row);
        drawText(std::to_string(row + 1) + ".  " + highScores[i].name, 0.5f * w - 120.f, y, 24,
                 color, false);
        drawText(std::to_string(highScores[i].score), 0.5f * w + 160.f, y, 24, color, false);
    }
    if (highScores.empty())
        drawText("Ingen high scores enna!", 0.5f * w, 280.f, 22, Palette::Frost, true);

    if (scoreSaveFailed)
        drawText("Kunne ikke lagre resultatet!", 0.5f * w, h - 170.f, 18, Palette::Red, true);
    drawText("[ Klikk eller SPACE ] Tilbake", 0.5f * w, h - 120.f, 22,
             layout::promptColor(animTime), true);
}
