#include "app/InputRules.hpp"

#include "app/Random.hpp"

#include <cmath>

namespace input_rules {

float clampPaddleX(float x, float width) {
    const float highest = width - kPaddleHalfWidth;
    if (x > highest)
        return highest;
    if (x < kPaddleHalfWidth)
        return kPaddleHalfWidth;
    return x;
}

float keyboardStep(int level) {
    return paddleKeySpeed(level) * kKeyStepSeconds;
}

sf::Vector2f launchVelocity(int draw, int level) {
    const float degrees = static_cast<float>(draw) / static_cast<float>(kRandomMax) *
                              (2.f * kLaunchSpreadDegrees) - kLaunchSpreadDegrees;
    const float radians = toRadians(degrees);
    const float speed = launchSpeed(level);
    return {std::sin(radians) * speed, -std::cos(radians) * speed};
}

}  // namespace input_rules
