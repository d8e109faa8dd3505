// Windows reports the desktop less its taskbar, and a window's frame follows
// from its styles before the window exists.
#include "app/WorkArea.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

WorkArea desktopWorkArea(sf::Vector2u screen) {
    WorkArea area{{0, 0}, screen, {0, 0}};
    RECT work{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left && work.bottom > work.top) {
        area.corner = {static_cast<int>(work.left), static_cast<int>(work.top)};
        area.size = {static_cast<unsigned>(work.right - work.left), static_cast<unsigned>(work.bottom - work.top)};
    }
    RECT frame{0, 0, static_cast<LONG>(kLogicalWidth), static_cast<LONG>(kLogicalHeight)};
    // The window styles SFML gives a title bar with a close button.
    if (AdjustWindowRect(&frame, WS_CAPTION | WS_MINIMIZEBOX | WS_SYSMENU, FALSE))
        area.frame = {static_cast<unsigned>(frame.right - frame.left) - kLogicalWidth,
                      static_cast<unsigned>(frame.bottom - frame.top) - kLogicalHeight};
    return area;
}
