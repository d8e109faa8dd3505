// Helpers for the picture tests: a frame read back from the window, the
// colours the blend rules predict, and where text of one colour landed.
#pragma once

#include "app/Game.hpp"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace render_test {

// A colour in floating point, so predictions carry no rounding of their own.
struct Rgb {
    double r = 0, g = 0, b = 0;
};

Rgb rgb(sf::Color c);
// Ordinary blending: src × a + dst × (1 − a).
Rgb over(Rgb dst, sf::Color src);
// Additive blending: src × a + dst, clamped to 255.
Rgb add(Rgb dst, sf::Color src);

// What a frame shows at pixel (px, py) of a w-pixel-wide window before any
// page is drawn: night plus the aurora domes that cover the pixel centre.
// Fails the test if the pixel sits on a grid line or on a dome's rim, where
// the prediction would be guesswork.
Rgb backdropAt(int px, int py, float w, float animTime);

// Within `tolerance` in each of r, g and b.
::testing::AssertionResult colorNear(sf::Color actual, Rgb expected, double tolerance = 3.0);

// Renders one frame and reads it back.
sf::Image renderAndCapture(Game& game);

sf::Color pixel(const sf::Image& image, int x, int y);

struct InkBox {
    int left = 0, top = 0, right = 0, bottom = 0;  // inclusive pixel bounds
    int count = 0;
    double centreX() const { return (left + right + 1) / 2.0; }
    double centreY() const { return (top + bottom + 1) / 2.0; }
};

// The box around every pixel of [x0, x1) × [y0, y1) that shows `color` laid
// at `minCoverage` or more over `under` (text edges are blends of the two):
// the pixel must lie within `tolerance` of the line from `under` to `color`.
// Empty when there is none.
std::optional<InkBox> findInk(const sf::Image& image, int x0, int y0, int x1, int y1, Rgb color,
                              double tolerance = 8.0, Rgb under = {4, 8, 20},
                              double minCoverage = 0.5);

// The glyph box of a text laid out with its origin at (0, 0), measured with
// SFML directly.
compat::Box textBounds(const sf::Font& font, const std::string& utf8, unsigned size);

// A game without real keyboard or browser, with the paddle and the ball
// shaped and placed as after a round reset in the 1280 × 960 window, no
// bricks, no particles and a still aurora clock.
void prepareQuietGame(Game& game);

// A brick of a given look at a given top-left corner.
Brick makeBrick(sf::Vector2f topLeft, sf::Color base, sf::Color fill, sf::Color outline);

}  // namespace render_test
