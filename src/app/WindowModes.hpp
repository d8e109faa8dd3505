// Which video modes to ask for, given what the screen offers, and how the
// game's frame fits the window it gets. Pure functions.
#pragma once

#include <SFML/System/Vector2.hpp>
#include <SFML/Window/VideoMode.hpp>

#include <optional>
#include <vector>

// The frame every layout is drawn for, and the least the game lays out in.
inline constexpr unsigned kLogicalWidth = 1280;
inline constexpr unsigned kLogicalHeight = 960;

// 32 bits per pixel where the screen is deep enough to offer it, otherwise
// the screen's own depth: a 16-bit X screen refuses a 32-bit window.
unsigned windowBitsPerPixel(unsigned screenBitsPerPixel);

// The largest fullscreen mode at that depth; modes come best first. Empty
// when the system offers none at all.
std::optional<sf::VideoMode> fullscreenMode(const std::vector<sf::VideoMode>& modes,
                                            unsigned bitsPerPixel);

// 1280 x 960 where that leaves a tenth of the desktop free in each direction
// (for panels and title bars), else the largest 4:3 size that does.
sf::Vector2u windowedSize(sf::Vector2u desktop);

// Top-left corner that centres a window on the desktop, never off its top or
// left edge.
sf::Vector2i centredPosition(sf::Vector2u desktop, sf::Vector2u window);

// That corner moved up or left as far as needed to keep the whole frame
// (the window with its title bar and borders) on the desktop, never past
// the top or left edge.
sf::Vector2i keepFrameOnScreen(sf::Vector2i corner, sf::Vector2u desktop, sf::Vector2u frame);

// The size the game lays out in for a window of so many pixels: the pixels
// themselves when there are at least 1280 x 960 of them, else the window's
// shape scaled up uniformly until both sides reach that (fractions dropped).
sf::Vector2u logicalSize(sf::Vector2u pixels);
