// The paddle, the ball at rest and the brick grid of a level: the shapes
// resetRound lays out, and the grid arithmetic as pure functions.
#pragma once

#include "gameplay/Tuning.hpp"

#include <SFML/Graphics/Color.hpp>
#include <SFML/System/Vector2.hpp>

#include <array>
#include <vector>

// Centring uses the full pitch of ten columns, trailing gap included.
inline constexpr float kBrickGridWidth = kBrickColumns * kBrickPitchX;

// Base colour of each brick row, top row first.
extern const std::array<sf::Color, kBrickRows> brickRowColors;

// One brick of a level's grid, before it becomes a shape.
struct BrickCell {
    int row = 0;
    int column = 0;
    sf::Vector2f position;    // top-left corner
    bool reinforced = false;
    int points = 0;
    int hitPoints = 1;
    sf::Color color;          // the row's base colour
    sf::Color fillColor;
    sf::Color outlineColor;
};

// Whether the level leaves the cell at (row, column) empty.
bool brickCellSkipped(int level, int row, int column);

// Whether the brick at (row, column) takes two hits on that level.
bool brickCellReinforced(int level, int row, int column);

// Dimmed body of an ordinary brick: each channel of the row colour over 4.
sf::Color brickFillColor(sf::Color base);

// Rim of an ordinary brick: the row colour, a little transparent.
sf::Color brickOutlineColor(sf::Color base);

// Left edge of a brick column in a window of the given width.
float brickColumnLeft(int column, float windowWidth);

// The column whose bricks start at x in a window of the given width.
int brickColumnAt(float x, float windowWidth);

// The bricks of a level in build order (row by row, columns left to right),
// centred in a window of the given width.
std::vector<BrickCell> brickLayout(int level, float windowWidth);

// Where the ball's centre sits while it rests on a paddle centred here.
sf::Vector2f restingBallPositionAbove(sf::Vector2f paddleCentre);
