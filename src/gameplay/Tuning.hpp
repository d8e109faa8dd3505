// The game's tuning: sizes, speeds, counts, timings and colours. Gameplay,
// input, collisions and drawing all read them from here, so a change to one
// lands everywhere at once.
#pragma once

#include <SFML/Graphics/Color.hpp>

// Gameplay converts degrees with this value of pi.
inline constexpr float kPi = 3.14159f;

// Every circle drawn, ball and sparks alike, has this many points.
inline constexpr unsigned kCirclePoints = 30;

// Paddle. Its position is its centre.
inline constexpr float kPaddleWidth = 130.f;
inline constexpr float kPaddleHalfWidth = kPaddleWidth * 0.5f;  // clamp margin, bounce measure
inline constexpr float kPaddleHeight = 18.f;
inline constexpr float kPaddleOutlineThickness = 2.f;
inline constexpr float kPaddleBottomGap = 70.f;   // paddle centre above the window's bottom
// Held keys move it (level x 20 + 520) px/s, a fixed 1/60 of that a frame.
inline constexpr float kPaddleKeySpeed = 520.f;
inline constexpr float kPaddleKeySpeedPerLevel = 20.f;
inline constexpr float kKeyStepSeconds = 0.016666668f;

// Ball. Its position is its centre.
inline constexpr float kBallRadius = 11.f;
inline constexpr float kBallOutlineThickness = 1.5f;
inline constexpr float kBallRestGap = 2.f;        // air between a resting ball and the paddle
// Launched at (level x 65 + 380) px/s, up to 50 degrees either side of up.
inline constexpr float kLaunchSpeed = 380.f;
inline constexpr float kLaunchSpeedPerLevel = 65.f;
inline constexpr float kLaunchSpreadDegrees = 50.f;
inline constexpr float kMaxBounceDegrees = 65.f;  // steepest paddle bounce from straight up
inline constexpr float kLostMargin = 50.f;        // how far below the window the centre may sink

// Bricks.
inline constexpr int kBrickRows = 6;
inline constexpr int kBrickColumns = 10;
inline constexpr float kBrickWidth = 100.f;
inline constexpr float kBrickHeight = 30.f;
inline constexpr float kBrickPitchX = 107.f;      // width plus a gap of 7
inline constexpr float kBrickPitchY = 37.f;
inline constexpr float kBrickGridTop = 100.f;
inline constexpr float kBrickOutlineThickness = 1.5f;
inline constexpr int kBrickPointsPerLevel = 10;
inline constexpr int kReinforcedPointsPerLevel = 30;
inline constexpr int kBrickHitPoints = 1;
inline constexpr int kReinforcedHitPoints = 2;

// Balls, levels and timings, in seconds.
inline constexpr int kStartingLives = 3;
inline constexpr int kLevelCount = 5;
inline constexpr float kIntroSeconds = 3.f;       // the level intro's countdown
inline constexpr float kCheerSeconds = 2.f;       // how long a new cheer stays up

// The colours every drawing uses (straight alpha).
namespace Palette {
inline const sf::Color Night{4, 8, 20, 255};
inline const sf::Color GridLine{10, 40, 80, 35};
inline const sf::Color Violet{108, 92, 231, 255};
inline const sf::Color Teal{29, 158, 117, 255};
inline const sf::Color IceBlue{55, 138, 221, 255};
inline const sf::Color Amber{240, 160, 48, 255};
inline const sf::Color Red{220, 70, 70, 255};
inline const sf::Color Frost{216, 232, 248, 255};
}  // namespace Palette

inline const sf::Color kPaddleOutlineColor{100, 230, 180, 180};
inline const sf::Color kBallOutlineColor{55, 138, 221, 200};
inline const sf::Color kReinforcedFillColor{60, 50, 10, 220};
inline const sf::Color kReinforcedOutlineColor{240, 160, 48, 255};
inline const sf::Color kCrackedFillColor{100, 80, 20, 220};
inline const sf::Color kLifeMarkerOutlineColor{100, 230, 180, 255};  // HUD and sidebar

// Gameplay's one conversion of an angle, in this order of operations.
inline float toRadians(float degrees) { return degrees * kPi / 180.f; }

// Ball speed of a level in px/s.
inline float launchSpeed(int level) {
    return static_cast<float>(level) * kLaunchSpeedPerLevel + kLaunchSpeed;
}

// Paddle speed of a level under a held key, in px/s.
inline float paddleKeySpeed(int level) {
    return static_cast<float>(level) * kPaddleKeySpeedPerLevel + kPaddleKeySpeed;
}
