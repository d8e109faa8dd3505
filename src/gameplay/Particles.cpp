#include "app/Game.hpp"

void Game::spawnParticles(sf::Vector2f, sf::Color, int) {}
void Game::updateParticles(float) {}
