// Types shared by every part of the game.
#pragma once

#include "gameplay/Tuning.hpp"
#include "scores/HighScoreEntry.hpp"

#include <SFML/Graphics.hpp>

#include <cstdint>

enum class GameState : std::int32_t {
    Title = 0,
    Playing = 1,
    Paused = 2,
    GameOver = 3,
    NameEntry = 4,
    HighScores = 5,
    LevelIntro = 6,
};

enum class SoundId : int {
    Hit = 0,
    Wall = 1,
    Break = 2,
    LevelClear = 3,
    Lose = 4,
};
inline constexpr int kSoundCount = 5;

struct Brick {
    sf::RectangleShape shape;
    sf::Color color;          // the row's base colour, never changed after the build
    bool alive = true;
    std::int32_t points = 0;
    std::int32_t hitPoints = 1;
};

struct Particle {
    sf::Vector2f position;
    sf::Vector2f velocity;
    sf::Color color;
    float life = 0.f;         // seconds left
    float maxLife = 0.f;      // life at birth
    float size = 0.f;         // radius at full life
};

// A palette colour with its alpha replaced.
inline sf::Color withAlpha(sf::Color color, std::uint8_t alpha) {
    color.a = alpha;
    return color;
}
