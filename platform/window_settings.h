// SPDX-License-Identifier: GPL-3.0-or-later
// WindowSettings: what the console window is opened with.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The font and size settings of the window (section VIDEO).
struct WindowSettings {
    std::string font_face = "Lucida Console";
    std::optional<int> font_width;
    std::optional<int> font_height;
    int font_weight = 700;
    // The cell size for a missing width or height, from the work area's.
    int (*default_font_width)(int work_area_width) = nullptr;
    int (*default_font_height)(int work_area_height) = nullptr;
    // Tests only: every composed frame is also saved here as a BMP file.
    std::string snapshot_path;
};

}
