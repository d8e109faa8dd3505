// The part of the screen the window manager leaves to windows.
#pragma once

#include "app/WindowModes.hpp"

// The work area the system reports, within a screen of that size, and the
// frame a game window gets; the whole screen where no work area is reported.
WorkArea desktopWorkArea(sf::Vector2u screen);
