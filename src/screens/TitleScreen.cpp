#include "app/Game.hpp"

void Game::drawTitleScreen() {}
