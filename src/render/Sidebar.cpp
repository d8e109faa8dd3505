#include "app/Game.hpp"

void Game::drawSidebar() {}
