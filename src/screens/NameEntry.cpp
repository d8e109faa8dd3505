#include "app/Game.hpp"

void Game::drawNameEntry() {}
