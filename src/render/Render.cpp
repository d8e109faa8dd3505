#include "app/Game.hpp"

void Game::render() {
    window.clear(Palette::Night);
    window.display();
}
void Game::buildBackdrop() { backdropLines.clear(); }
void Game::drawText(const std::string&, float, float, unsigned, sf::Color, bool) {}
