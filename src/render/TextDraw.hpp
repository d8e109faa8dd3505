// Building a line of text the way every page draws it.
#pragma once

#include "app/SfmlCompat.hpp"

#include <string>

namespace render {

// Whether a font was loaded at all. A game without one draws no text: SFML 3
// stops the program when asked to lay out text in an empty font.
inline bool fontLoaded(const sf::Font& font) { return !font.getInfo().family.empty(); }

// The game font at the given size, the bytes decoded as UTF-8, one fill
// colour, no outline; origin still at (0, 0).
inline sf::Text makeGameText(const sf::Font& font, const std::string& utf8,
                             unsigned characterSize, sf::Color color) {
    sf::Text text = compat::makeText(font, sf::String::fromUtf8(utf8.begin(), utf8.end()),
                                     characterSize);
    text.setFillColor(color);
    return text;
}

}  // namespace render
