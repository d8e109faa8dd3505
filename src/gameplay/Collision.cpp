#include "gameplay/Collision.hpp"

#include <algorithm>
#include <cmath>

namespace collision {

WallBounce bounceOffWalls(sf::Vector2f p, sf::Vector2f velocity, float width) {
    WallBounce result{p, velocity, 0};
    if (p.x - kBallRadius < 0.f) {
        result.position = {kBallRadius, p.y};
        result.velocity.x = std::fabs(result.velocity.x);
        ++result.contacts;
    }
    if (p.x + kBallRadius > width) {
        result.position = {width - kBallRadius, p.y};
        result.velocity.x = -std::fabs(result.velocity.x);
        ++result.contacts;
    }
    if (p.y - kBallRadius < 0.f) {
        result.position = {p.x, kBallRadius};
        result.velocity.y = std::fabs(result.velocity.y);
        ++result.contacts;
    }
    return result;
}

bool isBelowLostLine(sf::Vector2f p, float height) { return p.y > height + kLostMargin; }

bool ballInField(sf::Vector2f p, float width, float paddleY) {
    return p.x >= 0.f && p.x <= width && p.y >= 0.f && p.y <= paddleY;
}

sf::Vector2f paddleBounceVelocity(float ballX, float paddleX, sf::Vector2f velocity) {
    const float t = std::clamp((ballX - paddleX) / kPaddleHalfWidth, -1.f, 1.f);
    const float angle = toRadians(t * kMaxBounceDegrees);
    const float speed = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y);
    return {std::sin(angle) * speed, -std::cos(angle) * speed};
}

Penetration penetration(const compat::Box& box, sf::Vector2f p) {
    Penetration d;
    d.left = (p.x + kBallRadius) - box.left;
    d.right = box.right() - (p.x - kBallRadius);
    d.top = (p.y + kBallRadius) - box.top;
    d.bottom = box.bottom() - (p.y - kBallRadius);
    return d;
}

sf::Vector2f reflectOffBrick(const compat::Box& box, sf::Vector2f p, sf::Vector2f velocity) {
    const Penetration d = penetration(box, p);
    const float mX = std::min(d.right, d.left);
    const float mY = std::min(d.bottom, d.top);
    if (mY > mX) {
        // Shallower sideways: a side face. Nearer the left face sends it left.
        velocity.x = d.right > d.left ? -std::fabs(velocity.x) : std::fabs(velocity.x);
    } else {
        // Ties go to the top or bottom face.
        velocity.y = d.bottom > d.top ? -std::fabs(velocity.y) : std::fabs(velocity.y);
    }
    return velocity;
}

bool boxesTouch(const sf::FloatRect& a, const sf::FloatRect& b) {
    return compat::findIntersection(a, b).has_value();
}

}  // namespace collision
