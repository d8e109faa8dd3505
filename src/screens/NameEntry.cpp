#include "app/Game.hpp"
#include "render/Layout.hpp"

#include <string>

void Game::drawNameEntry() {
    const float w = frameSize().x;
    const float h = frameSize().y;

    drawText("NY HIGH SCORE!", 0.5f * w, 0.2f * h, 44, Palette::Amber, true);
    drawText("POENG: " + std::to_string(score), 0.5f * w, 0.31f * h, 28, Palette::Frost, true);
    drawText("Skriv inn navnet ditt:", 0.5f * w, 0.42f * h, 22, Palette::IceBlue, true);

    sf::RectangleShape box({400.f, 60.f});
    box.setOrigin({200.f, 30.f});
    box.setPosition({0.5f * w, 0.52f * h});
    box.setFillColor(sf::Color(20, 30, 50, 200));
    box.setOutlineThickness(2.f);
    box.setOutlineColor(Palette::Teal);
    paint(box);

    // Name and cursor are centred as one text, so the box stays balanced.
    drawText(nameInput + layout::nameCursor(animTime), 0.5f * w, 0.52f * h, 28, Palette::Frost,
             true);
    drawText("[ ENTER ] Bekreft   [ ESC ] Hopp over", 0.5f * w, 0.65f * h, 18,
             sf::Color(100, 150, 200, 255), true);
}
