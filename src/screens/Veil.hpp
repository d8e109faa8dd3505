// The darkened sheet every page but the title lays over the scene.
#pragma once

#include "app/Types.hpp"

#include <SFML/Graphics.hpp>

#include <cstdint>

namespace screens {

inline void drawVeil(sf::RenderWindow& window, std::uint8_t alpha) {
    sf::RectangleShape veil(window.getView().getSize());
    veil.setFillColor(withAlpha(Palette::Night, alpha));
    window.draw(veil);
}

}  // namespace screens
