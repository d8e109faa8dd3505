// The arithmetic behind the paddle controls and the launch. Pure functions.
#pragma once

#include "gameplay/Tuning.hpp"

#include <SFML/System/Vector2.hpp>

namespace input_rules {

inline constexpr int kNameLimit = 12;
inline constexpr const char* kSkippedName = "Anonym";
// How long a released key must stay up before its release stands: the X
// server's repeat pairs arrive up to 0.35 s apart on a busy machine.
inline constexpr float kReleaseSettle = 0.4f;

// Keeps the paddle's centre a half width from either wall; the right wall wins
// when the window is too narrow for both.
float clampPaddleX(float x, float width);

// How far one frame of a held arrow key moves the paddle: a fixed 1/60 of
// the level's keyboard speed, whatever the frame time.
float keyboardStep(int level);

// Launch velocity for a random draw r in 0..32767: up to 50 degrees either
// side of straight up, at the level's launch speed.
sf::Vector2f launchVelocity(int draw, int level);

}  // namespace input_rules
