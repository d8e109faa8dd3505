#include "app/Game.hpp"

void Game::drawBricks() {}
void Game::drawPaddleAndBall() {}
void Game::drawHud() {}
