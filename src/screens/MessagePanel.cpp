#include "app/Game.hpp"

void Game::drawMessagePanel(const std::string&, const std::string&, sf::Color) {}
