#include "app/Game.hpp"

void Game::drawHighScoreList() {}
