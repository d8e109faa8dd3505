// Spark bursts: the shared random-float rule, spawning and per-frame ageing.
#pragma once

#include "app/Types.hpp"

#include <vector>

// A random float from lo to hi, both ends included: one draw r of the game's
// generator, (r / 32767) * (hi - lo) + lo in single precision.
float randomRange(float lo, float hi);

// One spark at the given place and colour, with a random direction, speed,
// life and size (four draws, in that order).
Particle makeParticle(sf::Vector2f position, sf::Color color);

// Appends count sparks; a count of 0 or below adds and draws nothing.
void appendParticles(std::vector<Particle>& particles, sf::Vector2f position, sf::Color color,
                     int count);

// Moves, damps and ages every spark by dt, then drops the spent ones,
// keeping the survivors in spawn order.
void advanceParticles(std::vector<Particle>& particles, float dt);
