// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleSettings: what the console takes from the settings file when it opens.
#pragma once

#include <array>
#include <optional>
#include <string>

namespace settings {
class Settings;
}

namespace console {

// The values of section VIDEO and the braille keyboard mode, with the
// defaults a missing settings file gives.
struct ConsoleSettings {
    std::array<int, 16> colour_map { 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15 };
    bool fixed_colours = false;
    bool block_scroll = false;
    int background_colour = 0;
    int text_colour = 15;
    bool normal_window = true;
    int braille_keyboard_mode = 0;
    // The font of a console shown in a window; a missing width or height
    // comes from the work area's size.
    std::string font_face = "Lucida Console";
    std::optional<int> font_width;
    std::optional<int> font_height;
    int font_weight = 700;
    // The window's first title: the program's own path, at most 80 characters.
    std::string initial_title;
};

// Reads them through the settings' named keys.
ConsoleSettings read_console_settings(const settings::Settings& settings);

}
