// SPDX-License-Identifier: GPL-3.0-or-later
// Font lookup: the font file for the console's face and weight.
#include "platform/sdl/font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <sys/stat.h>

namespace platform {

namespace {

constexpr const char* fallback_face = "DejaVu Sans Mono";
constexpr int bold_weight = 600;

bool file_exists(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// Fontconfig always answers with its best substitute; only a match of the
// family itself counts as the face being there.
FontFile match_face(FcConfig* config, const std::string& face, int weight)
{
    FontFile found;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return found;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match)
        return found;
    FcChar8* family = nullptr;
    FcChar8* file = nullptr;
    int matched_weight = FC_WEIGHT_REGULAR;
    bool same_family = false;
    for (int index = 0; FcPatternGetString(match, FC_FAMILY, index, &family) == FcResultMatch; ++index) {
        if (FcStrCmpIgnoreCase(family, reinterpret_cast<const FcChar8*>(face.c_str())) == 0)
            same_family = true;
    }
    if (same_family && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        found.path = reinterpret_cast<const char*>(file);
        FcPatternGetInteger(match, FC_WEIGHT, 0, &matched_weight);
        found.embolden = weight >= bold_weight && FcWeightToOpenType(matched_weight) < bold_weight;
    }
    FcPatternDestroy(match);
    return found;
}

}

FontFile find_font_file(const std::string& face, int weight)
{
    FontFile found;
    if (FcConfig* config = FcInitLoadConfigAndFonts()) {
        if (!face.empty())
            found = match_face(config, face, weight);
        if (found.path.empty())
            found = match_face(config, fallback_face, weight);
        FcConfigDestroy(config);
    }
    if (!found.path.empty())
        return found;
    // Without fontconfig's cache the Debian package's files are still where
    // they always are.
    bool bold = weight >= bold_weight;
    std::string path = bold ? "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"
                            : "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (file_exists(path))
        return { path, false };
    path = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";
    if (file_exists(path))
        return { path, bold };
    return found;
}

}
