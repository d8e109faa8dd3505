#include "app/Game.hpp"

void Game::resetRound() {}
void Game::buildBricks() {}
sf::Vector2f Game::restingBallPosition() const { return {}; }
