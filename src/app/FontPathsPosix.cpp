// Where the font comes from on Linux and the BSDs: fontconfig's monospace,
// then a few well-known files. Only absolute paths: the working folder may be
// anyone's.
#include "app/Fonts.hpp"

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
    std::vector<std::string> candidates;
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
