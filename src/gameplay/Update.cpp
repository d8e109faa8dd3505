#include "app/Game.hpp"

void Game::update(float dt) {
    advanceFrameClocks(dt);
    updateParticles(dt);
}
