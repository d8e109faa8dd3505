#include "render/Veil.hpp"

#include <cmath>

namespace render {

std::uint8_t veilAlpha(GameState state) {
    switch (state) {
    case GameState::LevelIntro:
        return 180;
    case GameState::Paused:
    case GameState::GameOver:
        return 200;
    case GameState::NameEntry:
        return 220;
    case GameState::HighScores:
        return 230;
    case GameState::Title:
    case GameState::Playing:
        break;
    }
    return 0;
}

sf::Color veiled(sf::Color color, std::uint8_t veil, Ink ink) {
    if (veil == 0)
        return color;
    const float v = static_cast<float>(veil) / 255.f;
    auto channel = [v, ink](std::uint8_t c, std::uint8_t night) {
        const float under = (1.f - v) * static_cast<float>(c);
        const float over = ink == Ink::Over ? v * static_cast<float>(night) : 0.f;
        return static_cast<std::uint8_t>(std::lround(under + over));
    };
    return sf::Color(channel(color.r, Palette::Night.r), channel(color.g, Palette::Night.g),
                     channel(color.b, Palette::Night.b), color.a);
}

}  // namespace render
