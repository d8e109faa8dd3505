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

// What the desktop leaves a window: the work area (the screen less its
// panels), where it starts, and how much wider and taller the window
// manager's title bar and borders make a window.
struct WorkArea {
    sf::Vector2i corner;
    sf::Vector2u size;
    sf::Vector2u frame;
};

// 1280 x 960 wherever it fits the work area with its frame. Else the largest
// size in whole 4 x 3 steps that fits with its frame and leaves a tenth of
// the work area free: a scaled window is a compromise already, and a margin
// keeps it clear of what the desktop did not report.
sf::Vector2u windowedSize(const WorkArea& area);

// Top-left corner that centres a window (with its frame, where the system
// places that) on the desktop, never off its top or left edge.
sf::Vector2i centredPosition(sf::Vector2u desktop, sf::Vector2u window);

// The size the game lays out in for a window of so many pixels: the pixels
// themselves when there are at least 1280 x 960 of them, else the window's
// shape scaled up uniformly until both sides reach that (fractions dropped).
sf::Vector2u logicalSize(sf::Vector2u pixels);
