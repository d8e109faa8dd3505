// Spark bursts: the random draws behind a burst, motion, damping and removal.
#include "app/Game.hpp"
#include "app/Random.hpp"
#include "gameplay/Particles.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// The next n draws of the generator after seeding it with seed.
std::vector<int> drawsAfterSeed(unsigned seed, int n) {
    seedRandom(seed);
    std::vector<int> draws;
    for (int i = 0; i < n; ++i)
        draws.push_back(drawRandom());
    return draws;
}

float fromDraw(int r, float lo, float hi) { return static_cast<float>(r) / 32767.f * (hi - lo) + lo; }

Particle sparkAt(float x, float y, float vx, float vy, float life, float size = 3.f) {
    Particle p;
    p.position = {x, y};
    p.velocity = {vx, vy};
    p.color = sf::Color::White;
    p.life = life;
    p.maxLife = life;
    p.size = size;
    return p;
}

}  // namespace

TEST(ParticleSpawn, EachSparkTakesDirectionSpeedLifeAndSizeInThatOrder) {
    const unsigned seed = 4242;
    const std::vector<int> draws = drawsAfterSeed(seed, 22 * 4 + 1);

    seedRandom(seed);
    EXPECT_EQ(randomRange(-5.f, 5.f), fromDraw(draws[0], -5.f, 5.f));

    std::vector<Particle> sparks(1, sparkAt(1.f, 1.f, 0.f, 0.f, 1.f));
    seedRandom(seed);
    appendParticles(sparks, {300.f, 200.f}, sf::Color(240, 160, 48, 255), 22);
    EXPECT_EQ(drawRandom(), draws[22 * 4]) << "exactly four draws per spark";
    ASSERT_EQ(sparks.size(), 23u);
    EXPECT_EQ(sparks[0].position, sf::Vector2f(1.f, 1.f)) << "appended after what was there";

    for (int i = 0; i < 22; ++i) {
        SCOPED_TRACE(i);
        const Particle& p = sparks[static_cast<std::size_t>(i) + 1];
        const int* r = &draws[static_cast<std::size_t>(i) * 4];
        const float radians = fromDraw(r[0], 0.f, 360.f) * 3.14159f / 180.f;
        const float speed = fromDraw(r[1], 80.f, 320.f);
        EXPECT_FLOAT_EQ(p.velocity.x, std::cos(radians) * speed);
        EXPECT_FLOAT_EQ(p.velocity.y, std::sin(radians) * speed);
        EXPECT_FLOAT_EQ(p.life, fromDraw(r[2], 0.4f, 1.1f));
        EXPECT_EQ(p.maxLife, p.life);
        EXPECT_FLOAT_EQ(p.size, fromDraw(r[3], 2.f, 7.f));
        EXPECT_EQ(p.position, sf::Vector2f(300.f, 200.f));
        EXPECT_EQ(p.color, sf::Color(240, 160, 48, 255));
    }
}

TEST(ParticleSpawn, NoSparksAndNoDrawsForACountOfZeroOrLess) {
    const std::vector<int> draws = drawsAfterSeed(77, 1);
    std::vector<Particle> sparks;
    seedRandom(77);
    appendParticles(sparks, {10.f, 10.f}, sf::Color::Red, 0);
    appendParticles(sparks, {10.f, 10.f}, sf::Color::Red, -3);
    EXPECT_TRUE(sparks.empty());
    EXPECT_EQ(drawRandom(), draws[0]);
}

TEST(ParticleUpdate, MovesWithTheOldVelocityThenDampsAndAges) {
    std::vector<Particle> sparks{sparkAt(100.f, 100.f, 200.f, 0.f, 1.f)};
    advanceParticles(sparks, 0.05f);
    ASSERT_EQ(sparks.size(), 1u);
    EXPECT_FLOAT_EQ(sparks[0].position.x, 110.f);
    EXPECT_FLOAT_EQ(sparks[0].position.y, 100.f);
    EXPECT_FLOAT_EQ(sparks[0].velocity.x, 180.f);
    EXPECT_FLOAT_EQ(sparks[0].velocity.y, 0.f);
    EXPECT_FLOAT_EQ(sparks[0].life, 0.95f);
    EXPECT_FLOAT_EQ(sparks[0].maxLife, 1.f);

    // No time passed: nothing changes at all.
    const Particle before = sparks[0];
    advanceParticles(sparks, 0.f);
    ASSERT_EQ(sparks.size(), 1u);
    EXPECT_EQ(sparks[0].position, before.position);
    EXPECT_EQ(sparks[0].velocity, before.velocity);
    EXPECT_EQ(sparks[0].life, before.life);
}

TEST(ParticleUpdate, SpentSparksGoAndTheRestKeepTheirOrder) {
    std::vector<Particle> short_lived{sparkAt(0.f, 0.f, 0.f, 0.f, 0.4f)};
    for (int update = 1; update <= 7; ++update) {
        advanceParticles(short_lived, 0.05f);
        ASSERT_EQ(short_lived.size(), 1u) << "gone after update " << update;
    }
    advanceParticles(short_lived, 0.05f);
    EXPECT_TRUE(short_lived.empty());

    // Tagged by size; lives of exactly dt end at 0 and go as well.
    std::vector<Particle> sparks{sparkAt(0, 0, 0, 0, 0.5f, 1.f), sparkAt(0, 0, 0, 0, 0.01f, 2.f),
                                 sparkAt(0, 0, 0, 0, 0.3f, 3.f), sparkAt(0, 0, 0, 0, 0.05f, 4.f),
                                 sparkAt(0, 0, 0, 0, 0.4f, 5.f)};
    advanceParticles(sparks, 0.05f);
    ASSERT_EQ(sparks.size(), 3u);
    EXPECT_EQ(sparks[0].size, 1.f);
    EXPECT_EQ(sparks[1].size, 3.f);
    EXPECT_EQ(sparks[2].size, 5.f);
}

TEST(ParticleUpdate, GameMembersSpawnAndAgeTheGamesList) {
    Game game;
    game.particles.clear();
    game.spawnParticles({640.f, 480.f}, sf::Color(29, 158, 117, 255), 100);
    game.spawnParticles({1.f, 2.f}, sf::Color::Red, -1);
    ASSERT_EQ(game.particles.size(), 100u);
    for (const Particle& p : game.particles) {
        EXPECT_GE(p.life, 0.4f);
        EXPECT_LE(p.life, 1.1f);
        const float speed = std::hypot(p.velocity.x, p.velocity.y);
        EXPECT_GE(speed, 79.99f);
        EXPECT_LE(speed, 320.01f);
    }
    // No spark outlives 1.1 s of updates.
    for (int i = 0; i < 23; ++i)
        game.updateParticles(0.05f);
    EXPECT_TRUE(game.particles.empty());
}
