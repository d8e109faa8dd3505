#include "app/Game.hpp"
#include "render/Layout.hpp"

#include <string>

void Game::drawTitleScreen() {
    const float w = frameSize().x;
    const float h = frameSize().y;
    const float x = 0.5f * w;

    drawText("TUNDREL", x, 0.14f * h, 72, Palette::Teal, true);
    drawText("Arktisk Breakout", x, 0.26f * h, 24, Palette::IceBlue, true);

    // The key column is padded to 23 characters; the lines keep fixed steps
    // below the first whatever the window height.
    const float firstLine = 0.38f * h;
    drawText("Mus / A D              :  Beveg padle", x, firstLine, 20, Palette::Frost, true);
    drawText("Venstreklikk / SPACE   :  Start / Slipp ball", x, firstLine + 34.f, 20,
             Palette::Frost, true);
    drawText("Hoyreklikk / ESC       :  Pause", x, firstLine + 68.f, 20, Palette::Frost, true);
    drawText("F11                    :  Fullskjerm toggle", x, firstLine + 102.f, 20,
             Palette::Frost, true);
    drawText("H                      :  High Scores", x, firstLine + 136.f, 20, Palette::Frost,
             true);
    drawText(std::string("F1                     :  ") + SITE_LABEL, x, firstLine + 170.f, 20,
             Palette::Amber, true);

    drawText("[ Klikk eller SPACE ] for a starte", x, 0.75f * h, 28,
             layout::promptColor(animTime), true);
    drawText("Drevet av trekkloveret: Zefra + Kolmo + Vindar", x, 0.9f * h, 15,
             withAlpha(Palette::IceBlue, 150), true);
    drawText(std::string(SITE_LABEL) + "  -  Vi finner aldri pa svar", x, 0.95f * h, 14,
             withAlpha(Palette::Teal, 120), true);
}
