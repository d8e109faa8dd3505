// Writes the game's icon at every theme size as PNG files laid out like an
// icon theme: <folder>/<n>x<n>/apps/<id>.png, or as one Windows icon file
// holding the sizes Windows asks for. Needs no display.
//
// Usage: tundrel_icons <folder> <id>
//        tundrel_icons --ico <file.ico>

#include "app/SfmlCompat.hpp"
#include "render/Icon.hpp"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

void put(std::string& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Each size as an uncompressed 32-bit bitmap: a header, the rows bottom up in
// BGRA, and an all-clear AND mask (the alpha channel decides).
std::string icoFile(const std::vector<unsigned>& sizes) {
    std::vector<std::string> images;
    for (const unsigned size : sizes) {
        const sf::Image icon = drawIcon(size);
        const std::uint32_t maskRow = ((size + 31) / 32) * 4;
        std::string bmp;
        put(bmp, 40, 4);
        put(bmp, size, 4);
        put(bmp, size * 2, 4);  // colour and mask together
        put(bmp, 1, 2);
        put(bmp, 32, 2);
        put(bmp, 0, 4);
        put(bmp, size * size * 4 + maskRow * size, 4);
        bmp.append(16, '\0');
        for (unsigned y = size; y-- > 0;)
            for (unsigned x = 0; x < size; ++x) {
                const sf::Color c = compat::pixelAt(icon, x, y);
                bmp += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r),
                        static_cast<char>(c.a)};
            }
        bmp.append(maskRow * size, '\0');
        images.push_back(bmp);
    }
    std::string out;
    put(out, 0, 2);
    put(out, 1, 2);
    put(out, static_cast<std::uint32_t>(images.size()), 2);
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        put(out, sizes[i] % 256, 1);  // 0 stands for 256
        put(out, sizes[i] % 256, 1);
        put(out, 0, 2);
        put(out, 1, 2);
        put(out, 32, 2);
        put(out, static_cast<std::uint32_t>(images[i].size()), 4);
        put(out, offset, 4);
        offset += static_cast<std::uint32_t>(images[i].size());
    }
    for (const std::string& image : images)
        out += image;
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc == 3 && std::string(argv[1]) == "--ico") {
        std::ofstream(argv[2], std::ios::binary) << icoFile({std::begin(kIconSizes), std::end(kIconSizes)});
        return fs::file_size(argv[2]) > 0 ? 0 : 1;
    }
    if (argc != 3) {
        std::cerr << "usage: tundrel_icons <folder> <id> | --ico <file.ico>\n";
        return 2;
    }
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
