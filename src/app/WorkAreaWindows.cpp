// Windows reports the desktop less its taskbar, and the frame follows from
// the window's styles before the window exists.
#include "app/WorkArea.hpp"

#include "app/WindowFrame.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

WorkArea desktopWorkArea(sf::Vector2u screen) {
    const sf::Vector2u native(kLogicalWidth, kLogicalHeight);
    WorkArea area{{0, 0}, screen, outerWindowSize(native) - native};
    RECT work{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0) && work.right > work.left && work.bottom > work.top) {
        area.corner = {static_cast<int>(work.left), static_cast<int>(work.top)};
        area.size = {static_cast<unsigned>(work.right - work.left), static_cast<unsigned>(work.bottom - work.top)};
    }
    return area;
}
