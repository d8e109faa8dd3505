#include "app/WindowModes.hpp"

#include <algorithm>
#include <cstdint>

unsigned windowBitsPerPixel(unsigned screenBitsPerPixel) {
    return screenBitsPerPixel >= 24 ? 32 : screenBitsPerPixel;
}

std::optional<sf::VideoMode> fullscreenMode(const std::vector<sf::VideoMode>& modes,
                                            unsigned bitsPerPixel) {
    for (const sf::VideoMode& mode : modes) {
        if (mode.bitsPerPixel == bitsPerPixel)
            return mode;
    }
    if (modes.empty())
        return std::nullopt;
    sf::VideoMode mode = modes.front();
    mode.bitsPerPixel = bitsPerPixel;
    return mode;
}

sf::Vector2u windowedSize(const WorkArea& area) {
    const auto room = [](unsigned side, unsigned frame) { return side > frame ? side - frame : 0u; };
    const unsigned fitX = room(area.size.x, area.frame.x), fitY = room(area.size.y, area.frame.y);
    if (fitX >= kLogicalWidth && fitY >= kLogicalHeight)
        return {kLogicalWidth, kLogicalHeight};
    const unsigned roomX = std::min(fitX, area.size.x * 9 / 10);
    const unsigned roomY = std::min(fitY, area.size.y * 9 / 10);
    // Whole multiples of 4 x 3, so the frame scales by one factor both ways.
    const unsigned step = std::min(roomX / 4, roomY / 3);
    if (step == 0)
        return {kLogicalWidth, kLogicalHeight};  // no usable desktop size reported
    return {4 * step, 3 * step};
}

sf::Vector2i centredPosition(sf::Vector2u desktop, sf::Vector2u window) {
    const auto axis = [](unsigned screen, unsigned size) {
        return std::max(0, (static_cast<int>(screen) - static_cast<int>(size)) / 2);
    };
    return {axis(desktop.x, window.x), axis(desktop.y, window.y)};
}

sf::Vector2u logicalSize(sf::Vector2u pixels) {
    if (pixels.x == 0 || pixels.y == 0 || (pixels.x >= kLogicalWidth && pixels.y >= kLogicalHeight))
        return pixels;
    // Scale by the side that falls shorter; 64-bit so 4K sizes cannot overflow.
    const auto scaled = [](unsigned side, unsigned want, unsigned have) {
        return static_cast<unsigned>(std::uint64_t(side) * want / have);
    };
    if (std::uint64_t(pixels.x) * kLogicalHeight <= std::uint64_t(pixels.y) * kLogicalWidth)
        return {kLogicalWidth, scaled(pixels.y, kLogicalWidth, pixels.x)};
    return {scaled(pixels.x, kLogicalHeight, pixels.y), kLogicalHeight};
}
