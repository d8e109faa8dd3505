#include "render/Layout.hpp"

#include <algorithm>
#include <cmath>

namespace layout {

namespace {

// Wider than this, the sidebar carries the brick count, else the HUD does.
constexpr float kWideAspect = 1.7f;

std::uint8_t truncChannel(float value) {
    return static_cast<std::uint8_t>(static_cast<int>(value));
}

}  // namespace

float pulsePhase(float speed, float t) {
    return (std::sin(speed * t) + 1.f) * 0.5f;
}

sf::Color blendChannels(sf::Color from, sf::Color to, float p) {
    auto channel = [p](std::uint8_t a, std::uint8_t b) {
        const float start = static_cast<float>(a);
        const float span = static_cast<float>(static_cast<int>(b) - static_cast<int>(a));
        return truncChannel(start + span * p);
    };
    return sf::Color(channel(from.r, to.r), channel(from.g, to.g), channel(from.b, to.b), 255);
}

sf::Color promptColor(float animTime) {
    return blendChannels(Palette::Teal, Palette::Frost, pulsePhase(3.f, animTime));
}

sf::Color introHeadingColor(float animTime) {
    return blendChannels(Palette::Teal, Palette::Amber, pulsePhase(4.f, animTime));
}

sf::Color introPromptColor(float animTime) {
    return blendChannels(Palette::Frost, Palette::Teal, pulsePhase(4.f, animTime));
}

std::string hudLevelText(int level) {
    return "LEVEL " + std::to_string(std::min(level, kLevelCount)) + "/" +
           std::to_string(kLevelCount);
}

std::uint8_t cheerAlpha(float cheerTimer) {
    return truncChannel(std::min(2.f * cheerTimer, 1.f) * 255.f);
}

std::uint8_t paddleGlowAlpha(float glowPhase, int k) {
    const float g = 20.f + 60.f * (std::sin(4.f * glowPhase) + 1.f) / 2.f;
    return truncChannel(g / static_cast<float>(k));
}

sf::Vector2f paddleGlowSize(int k) {
    return {kPaddleWidth + 10.f * static_cast<float>(k),
            kPaddleHeight + 5.f * static_cast<float>(k)};
}

float ballGlowRadius(int k) { return kBallRadius + 4.f * static_cast<float>(k); }

std::uint8_t ballGlowAlpha(int k) { return static_cast<std::uint8_t>(45 / k); }

AuroraCircle auroraCircle(int i, float t, float w) {
    static const sf::Color colors[kAuroraCircles] = {Palette::Violet, Palette::Teal, Palette::IceBlue};
    const float fi = static_cast<float>(i);
    AuroraCircle circle;
    circle.radius = 250.f + 70.f * std::sin(t + 2.1f * fi);
    circle.centre = {w * (0.25f + 0.25f * fi) + 40.f * std::sin(0.7f * t + fi),
                     30.f * std::sin(1.3f * fi + 0.5f * t)};
    circle.color = withAlpha(colors[i], 18);
    return circle;
}

std::vector<sf::Vertex> backdropVertices(unsigned w, unsigned h) {
    std::vector<sf::Vertex> vertices;
    const float fw = static_cast<float>(w);
    const float fh = static_cast<float>(h);
    for (unsigned x = 0; x < w; x += kGridStep) {
        const float fx = static_cast<float>(x);
        vertices.push_back(sf::Vertex{{fx, 0.f}, Palette::GridLine});
        vertices.push_back(sf::Vertex{{fx, fh}, Palette::GridLine});
    }
    for (unsigned y = 0; y < h; y += kGridStep) {
        const float fy = static_cast<float>(y);
        vertices.push_back(sf::Vertex{{0.f, fy}, Palette::GridLine});
        vertices.push_back(sf::Vertex{{fw, fy}, Palette::GridLine});
    }
    return vertices;
}

float particleRadius(const Particle& particle) {
    return particle.life / particle.maxLife * particle.size;
}

std::uint8_t particleAlpha(const Particle& particle) {
    return truncChannel(220.f * (particle.life / particle.maxLife));
}

bool hudShowsBrickCount(float w, float h) { return w / h <= kWideAspect; }

sf::Vector2f hudMarkerPosition(float w, int i) {
    return {w - 50.f - 30.f * static_cast<float>(i), kHudSecondRow};
}

SidebarGeometry sidebarGeometry(float w, float h) {
    SidebarGeometry g;
    g.playWidth = std::min(1.35f * h, w);
    g.band = (w - g.playWidth) / 2.f;
    g.leftCentre = g.band / 2.f;
    g.rightCentre = w - g.band / 2.f;
    g.glowRadius = (g.band - 10.f) * 0.8f;
    return g;
}

bool sidebarVisible(float w, float h) {
    return w / h > kWideAspect && sidebarGeometry(w, h).band - 10.f >= 80.f;
}

sf::Vector2f sidebarMarkerPosition(const SidebarGeometry& g, float h, int lives, int i) {
    return {g.leftCentre - 17.f * static_cast<float>(lives) + 34.f * static_cast<float>(i),
            0.52f * h};
}

compat::Box sidebarLeftDivider(const SidebarGeometry& g, float h) {
    return {g.band - 5.f, 0.075f * h, 2.f, 0.85f * h};
}

compat::Box sidebarRightDivider(const SidebarGeometry& g, float w, float h) {
    return {w - g.band + 5.f, 0.075f * h, 2.f, 0.85f * h};
}

int levelSpeed(int level) { return static_cast<int>(launchSpeed(level)); }

sf::Color rankColor(int row) {
    if (row == 0)
        return Palette::Amber;
    if (row == 1)
        return Palette::Frost;
    return Palette::IceBlue;
}

std::string nameCursor(float animTime) {
    const auto k = static_cast<std::int32_t>(2.f * animTime);
    return k % 2 == 0 ? "|" : " ";
}

int aliveBrickCount(const std::vector<Brick>& bricks) {
    return static_cast<int>(
        std::count_if(bricks.begin(), bricks.end(), [](const Brick& b) { return b.alive; }));
}

}  // namespace layout
