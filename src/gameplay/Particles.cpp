#include "gameplay/Particles.hpp"

#include "app/Game.hpp"
#include "app/Random.hpp"

#include <algorithm>
#include <cmath>

float randomRange(float lo, float hi) {
    const float fraction = static_cast<float>(drawRandom()) / static_cast<float>(kRandomMax);
    return fraction * (hi - lo) + lo;
}

Particle makeParticle(sf::Vector2f position, sf::Color color) {
    // The draw order is part of the game's random sequence; keep it.
    const float degrees = randomRange(0.f, 360.f);
    const float radians = toRadians(degrees);
    const float speed = randomRange(80.f, 320.f);

    Particle particle;
    particle.position = position;
    particle.velocity = {std::cos(radians) * speed, std::sin(radians) * speed};
    particle.color = color;
    particle.life = randomRange(0.4f, 1.1f);
    particle.maxLife = particle.life;
    particle.size = randomRange(2.f, 7.f);
    return particle;
}

void appendParticles(std::vector<Particle>& particles, sf::Vector2f position, sf::Color color,
                     int count) {
    for (int i = 0; i < count; ++i)
        particles.push_back(makeParticle(position, color));
}

void advanceParticles(std::vector<Particle>& particles, float dt) {
    const float damping = 1.f - (dt + dt);
    for (Particle& particle : particles) {
        particle.position += particle.velocity * dt;
        particle.velocity *= damping;
        particle.life -= dt;
    }
    particles.erase(std::remove_if(particles.begin(), particles.end(),
                                   [](const Particle& particle) { return particle.life <= 0.f; }),
                    particles.end());
}

void Game::spawnParticles(sf::Vector2f position, sf::Color color, int count) {
    appendParticles(particles, position, color, count);
}

void Game::updateParticles(float dt) { advanceParticles(particles, dt); }
