// The veil: Night at some alpha, laid over the scene beneath every page but
// the title and play. A uniform sheet blended over the finished scene gives
// the same pixels as drawing each colour of the scene the way the sheet
// would leave it, so the scene is drawn veiled and the sheet itself, a blend
// of every pixel of the window (the dearest thing a software renderer
// draws), never is.
#pragma once

#include "app/Types.hpp"

#include <SFML/Graphics.hpp>

#include <cstdint>

namespace render {

// How a colour meets what is beneath it.
enum class Ink {
    Over,  // alpha blending
    Glow,  // added (sf::BlendAdd)
};

// The veil each state's page lays over its scene; 0 for none.
std::uint8_t veilAlpha(GameState state);

// A colour drawn beneath a veil of the given alpha, as the veil leaves it:
// blended over, (1 - v) c + v Night; added, (1 - v) c. Its alpha stays, and
// the clear colour Night stays Night.
sf::Color veiled(sf::Color color, std::uint8_t veil, Ink ink);

}  // namespace render
