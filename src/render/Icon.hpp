// The game's icon: the night field, a few ice bricks, the icebreaker and the
// frost ball, drawn pixel by pixel with no window or graphics context. Each
// size gets its own layout, so the small ones stay legible.
#pragma once

#include <SFML/Graphics/Image.hpp>

// The sizes the icon theme gets, in pixels.
inline constexpr unsigned kIconSizes[] = {16, 32, 48, 64, 128, 256};

// The size handed to the window manager for the title bar and task switcher.
inline constexpr unsigned kWindowIconSize = 64;

// A size × size picture, opaque throughout.
sf::Image drawIcon(unsigned size);
