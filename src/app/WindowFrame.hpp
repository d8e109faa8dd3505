// How large a window is with what the system draws around it.
#pragma once

#include <SFML/System/Vector2.hpp>

// The outer size of a game window (title bar and close button, no resize
// handle) whose inner area is so large; where the system places a window by
// its inner area, that size itself.
sf::Vector2u outerWindowSize(sf::Vector2u inner);
