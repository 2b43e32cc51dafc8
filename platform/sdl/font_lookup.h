// SPDX-License-Identifier: GPL-3.0-or-later
// Font lookup: the font file for the console's face and weight.
#pragma once

#include <string>

namespace platform {

struct FontFile {
    std::string path;
    // The file's own weight is lighter than the one asked for: the renderer
    // makes it bold.
    bool embolden = false;
};

// The file of the named face; when the system has no such face (Windows
// names such as "Lucida Console"), DejaVu Sans Mono. Weight on the 1..1000
// scale of the settings. Empty path when no font at all is found.
FontFile find_font_file(const std::string& face, int weight);

}
