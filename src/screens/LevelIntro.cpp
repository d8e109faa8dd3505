#include "app/Game.hpp"
#include "render/Layout.hpp"

#include <string>

void Game::drawLevelIntro() {
    const float w = frameSize().x;
    const float h = frameSize().y;
    const std::string n = std::to_string(level);

    drawText("LEVEL " + n + " KLAR!", 0.5f * w, 0.35f * h, 52,
             layout::introHeadingColor(animTime), true);
    drawText("Ballhastighet: " + std::to_string(layout::levelSpeed(level)) + " px/s", 0.5f * w,
             0.47f * h, 24, Palette::IceBlue, true);
    drawText("Poengmultiplikator: x" + n, 0.5f * w, 0.54f * h, 24, Palette::Amber, true);
    // The start action is accepted only once the countdown runs out; the
    // prompt shows up half-way there.
    if (introCountdown <= kIntroSeconds * 0.5f)
        drawText("[ Klikk eller SPACE ] Start level " + n, 0.5f * w, 0.65f * h, 26,
                 layout::introPromptColor(animTime), true);
}
