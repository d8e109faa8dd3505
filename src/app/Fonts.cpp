#include "app/Fonts.hpp"

#include "app/SfmlCompat.hpp"

#include <filesystem>
#include <iostream>
#include <system_error>

#if defined(TUNDREL_HAVE_FONTCONFIG)
#include <fontconfig/fontconfig.h>
#endif

namespace {

#if defined(TUNDREL_HAVE_FONTCONFIG)
// The file fontconfig would pick for "monospace", or empty.
std::string fontconfigMonospace() {
    std::string path;
    if (!FcInit())
        return path;
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>("monospace"));
    if (!pattern)
        return path;
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    return path;
}
#endif

}  // namespace

std::vector<std::string> fontCandidates() {
    std::vector<std::string> candidates = {
        "C:/Windows/Fonts/consola.ttf",
        "C:/Windows/Fonts/arial.ttf",
        "C:/Windows/Fonts/calibri.ttf",
    };
#if defined(TUNDREL_HAVE_FONTCONFIG)
    if (std::string matched = fontconfigMonospace(); !matched.empty())
        candidates.push_back(matched);
#endif
    candidates.insert(candidates.end(), {
        "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf",
        "/usr/local/share/fonts/dejavu/DejaVuSansMono.ttf",
        "/usr/share/fonts/truetype/liberation/LiberationMono-Regular.ttf",
        "/usr/share/fonts/liberation-mono/LiberationMono-Regular.ttf",
        "/System/Library/Fonts/Menlo.ttc",
    });
    return candidates;
}

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
