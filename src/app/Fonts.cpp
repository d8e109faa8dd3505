#include "app/Fonts.hpp"

#include "app/SfmlCompat.hpp"

#include <filesystem>
#include <iostream>
#include <system_error>

int openFirstFont(sf::Font& font, const std::vector<std::string>& candidates, std::ostream& report) {
    for (std::size_t i = 0; i < candidates.size(); ++i) {
        // Skip what is plainly not a file, so SFML has nothing to complain about.
        std::error_code ec;
        if (!std::filesystem::is_regular_file(std::filesystem::path(candidates[i]), ec))
            continue;
        if (compat::openFont(font, std::filesystem::path(candidates[i])))
            return static_cast<int>(i);
    }
    report << "tundrel: no usable font, the game runs without text; tried:";
    for (const std::string& path : candidates)
        report << ' ' << path;
    report << '\n';
    return -1;
}
