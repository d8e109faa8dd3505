#include "app/InputRules.hpp"

#include "app/Random.hpp"

#include <cmath>

namespace input_rules {

float clampPaddleX(float x, float width) {
    const float highest = width - kPaddleMargin;
    if (x > highest)
        return highest;
    if (x < kPaddleMargin)
        return kPaddleMargin;
    return x;
}

float keyboardStep(int level) {
    const float speed = static_cast<float>(level) * 20.f + 520.f;
    return speed * 0.016666668f;
}

sf::Vector2f launchVelocity(int draw, int level) {
    const float degrees =
        static_cast<float>(draw) / static_cast<float>(kRandomMax) * 100.f - 50.f;
    const float radians = degrees * 3.14159f / 180.f;
    const float speed = static_cast<float>(level) * 65.f + 380.f;
    return {std::sin(radians) * speed, -std::cos(radians) * speed};
}

}  // namespace input_rules
