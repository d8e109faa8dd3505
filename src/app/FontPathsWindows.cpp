// The fonts the game was designed with, in the fonts folder of wherever
// Windows is installed (not always drive C).
#include "app/Fonts.hpp"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

std::vector<std::string> fontCandidates() {
    char folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    const std::string fonts = std::string(folder, length) + "\\Fonts\\";
    return {fonts + "consola.ttf", fonts + "arial.ttf", fonts + "calibri.ttf"};
}
