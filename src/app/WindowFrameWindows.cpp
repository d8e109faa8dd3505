// Windows places a window by its frame, which the title bar and borders
// make larger than the area the game draws in.
#include "app/WindowFrame.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

sf::Vector2u outerWindowSize(sf::Vector2u inner) {
    RECT frame{0, 0, static_cast<LONG>(inner.x), static_cast<LONG>(inner.y)};
    // The window styles SFML gives a title bar with a close button.
    if (!AdjustWindowRect(&frame, WS_CAPTION | WS_MINIMIZEBOX | WS_SYSMENU, FALSE))
        return inner;
    return {static_cast<unsigned>(frame.right - frame.left), static_cast<unsigned>(frame.bottom - frame.top)};
}
