// The arithmetic of the ball's flight: walls, the lost line, the paddle
// bounce and the brick face choice. Pure functions, no window needed. The
// ball counts as its centre +- kBallRadius here, its outline left out.
#pragma once

#include "app/SfmlCompat.hpp"
#include "gameplay/Tuning.hpp"

namespace collision {

// The outcome of testing one ball centre against the left, right and top
// walls of a window `width` wide.
struct WallBounce {
    sf::Vector2f position;  // where the ball ends up
    sf::Vector2f velocity;
    int contacts = 0;       // walls met; each one gets its own burst and sound
};

// All three walls are judged on the same centre p; each correction puts the
// ball at p with only its own coordinate replaced, so a later correction
// overrides an earlier one's position.
WallBounce bounceOffWalls(sf::Vector2f p, sf::Vector2f velocity, float width);

// True once the centre is more than 50 pixels below the window's bottom.
bool isBelowLostLine(sf::Vector2f p, float height);

// Whether a ball centred at p can fly on in a window `width` wide whose
// paddle is centred at height paddleY: its centre between the walls and below
// the top (the walls' own bounce may leave the ball over one), and no lower
// than the paddle, past which it would be lost for nothing.
bool ballInField(sf::Vector2f p, float width, float paddleY);

// Velocity after bouncing off the paddle centred at paddleX: the direction
// comes from the hit point, the speed is kept.
sf::Vector2f paddleBounceVelocity(float ballX, float paddleX, sf::Vector2f velocity);

// How deep the ball (centre p, radius 11) reaches into a box from each side.
struct Penetration {
    float left = 0.f;
    float right = 0.f;
    float top = 0.f;
    float bottom = 0.f;
};
Penetration penetration(const compat::Box& box, sf::Vector2f p);

// Velocity after a brick hit: the sign of exactly one component is set,
// according to the face the ball is judged to have met.
sf::Vector2f reflectOffBrick(const compat::Box& box, sf::Vector2f p, sf::Vector2f velocity);

// Boxes touch when their overlap has a width and a height above zero.
bool boxesTouch(const sf::FloatRect& a, const sf::FloatRect& b);

}  // namespace collision
