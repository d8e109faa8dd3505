#include "app/WindowModes.hpp"

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
