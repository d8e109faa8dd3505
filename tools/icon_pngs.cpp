// Writes the game's icon at every theme size as PNG files laid out like an
// icon theme: <folder>/<n>x<n>/apps/<id>.png. Needs no display.
//
// Usage: tundrel_icons <folder> <id>

#include "render/Icon.hpp"

#include <filesystem>
#include <iostream>
#include <string>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tundrel_icons <folder> <id>\n";
        return 2;
    }
    namespace fs = std::filesystem;
    for (const unsigned size : kIconSizes) {
        const std::string edge = std::to_string(size);
        const fs::path folder = fs::path(argv[1]) / (edge + "x" + edge) / "apps";
        fs::create_directories(folder);
        const fs::path file = folder / (std::string(argv[2]) + ".png");
        if (!drawIcon(size).saveToFile(file.string())) {
            std::cerr << "tundrel_icons: could not write " << file.string() << "\n";
            return 1;
        }
    }
    return 0;
}
