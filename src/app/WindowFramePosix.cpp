// X window managers place a window by its inner area and add their frame
// around it.
#include "app/WindowFrame.hpp"

sf::Vector2u outerWindowSize(sf::Vector2u inner) { return inner; }
