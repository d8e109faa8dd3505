// Which video modes to ask for, given what the screen offers. Pure functions.
#pragma once

#include <SFML/Window/VideoMode.hpp>

#include <optional>
#include <vector>

// 32 bits per pixel where the screen is deep enough to offer it, otherwise
// the screen's own depth: a 16-bit X screen refuses a 32-bit window.
unsigned windowBitsPerPixel(unsigned screenBitsPerPixel);

// The largest fullscreen mode at that depth; modes come best first. Empty
// when the system offers none at all.
std::optional<sf::VideoMode> fullscreenMode(const std::vector<sf::VideoMode>& modes,
                                            unsigned bitsPerPixel);
