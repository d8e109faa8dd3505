#include "app/Game.hpp"

void Game::drawLevelIntro() {}
