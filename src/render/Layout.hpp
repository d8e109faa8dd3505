// The numbers behind every picture: colours of the pulses, glow strengths,
// where things stand for a given window size. No window, no font: the
// painters call these, and the golden pictures hold what they give.
#pragma once

#include "app/SfmlCompat.hpp"
#include "app/Types.hpp"

#include <SFML/Graphics.hpp>

#include <cstdint>
#include <string>
#include <vector>

namespace layout {

inline constexpr int kGridStep = 60;
inline constexpr float kHudSecondRow = 48.f;  // the score and the ball markers

// (sin(speed × t) + 1) × 0.5 in single precision: runs from 0 to 1.
float pulsePhase(float speed, float t);

// Each channel trunc(from + (to − from) × p) in float; alpha 255.
sf::Color blendChannels(sf::Color from, sf::Color to, float p);

// The "click to go on" prompt of the title, message panel and high-score
// pages: teal at p = 0 to frost at p = 1, p with speed 3.
sf::Color promptColor(float animTime);

// Level intro: the heading warms from teal to amber while the prompt cools
// from frost to teal, both on one phase with speed 4.
sf::Color introHeadingColor(float animTime);
sf::Color introPromptColor(float animTime);

// "LEVEL n/5"; a won game counts one level past the last, never shown.
std::string hudLevelText(int level);

// The cheer stays opaque until its last half second, then fades out.
std::uint8_t cheerAlpha(float cheerTimer);

// Paddle glow ring k (1 inner … 3 outer): alpha trunc(g / k) with the pulse
// g = 20 + 60 (sin(4 phase) + 1) / 2.
std::uint8_t paddleGlowAlpha(float glowPhase, int k);
sf::Vector2f paddleGlowSize(int k);

// Ball glow ring k: radius 11 + 4k, alpha 45 / k.
float ballGlowRadius(int k);
std::uint8_t ballGlowAlpha(int k);

struct AuroraCircle {
    float radius = 0.f;
    sf::Vector2f centre;
    sf::Color color;
};
// Aurora glow i (0 to kAuroraCircles - 1) at animation time t in a window w pixels wide.
inline constexpr int kAuroraCircles = 3;
AuroraCircle auroraCircle(int i, float t, float w);

// The backdrop grid: a vertical line every 60 pixels from x = 0 while x < w,
// then a horizontal one every 60 from y = 0 while y < h, as vertex pairs.
std::vector<sf::Vertex> backdropVertices(unsigned w, unsigned h);

// Spark drawing: radius and alpha shrink linearly with the life left.
float particleRadius(const Particle& particle);
std::uint8_t particleAlpha(const Particle& particle);

// The HUD brick count fits only where the sidebar does not carry it.
bool hudShowsBrickCount(float w, float h);

// Top-left of HUD ball marker i.
sf::Vector2f hudMarkerPosition(float w, int i);

struct SidebarGeometry {
    float playWidth = 0.f;   // P: the middle strip
    float band = 0.f;        // m: each side band
    float leftCentre = 0.f;  // xL
    float rightCentre = 0.f; // xR
    float glowRadius = 0.f;  // R
};
SidebarGeometry sidebarGeometry(float w, float h);

// Wide enough (ratio strictly above 1.7) and bands at least 90 wide.
bool sidebarVisible(float w, float h);

// Top-left of sidebar ball marker i when `lives` are shown.
sf::Vector2f sidebarMarkerPosition(const SidebarGeometry& g, float h, int lives, int i);

// Top-left and size of the two dividers next to the play strip.
compat::Box sidebarLeftDivider(const SidebarGeometry& g, float h);
compat::Box sidebarRightDivider(const SidebarGeometry& g, float w, float h);

// Ball speed of a level in pixels per second, as shown on screen.
int levelSpeed(int level);

// Row colours of both high-score tables: amber, frost, then ice blue.
sf::Color rankColor(int row);

// The name entry cursor: "|" while trunc(2 T) is even, a blank otherwise.
std::string nameCursor(float animTime);

int aliveBrickCount(const std::vector<Brick>& bricks);

}  // namespace layout
