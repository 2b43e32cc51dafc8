// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleSettings: what the console takes from the settings file when it opens.
#include "console/console_settings.h"

#include "settings/setting_keys.h"

namespace console {

ConsoleSettings read_console_settings(const settings::Settings& from)
{
    ConsoleSettings values;
    values.colour_map = settings::colour_map(from);
    values.fixed_colours = settings::fixed_colours(from);
    values.block_scroll = settings::slow_scrolling(from);
    values.background_colour = settings::video_background_colour(from);
    values.text_colour = settings::video_text_colour(from);
    values.normal_window = settings::normal_window(from);
    values.braille_keyboard_mode = settings::braille_keyboard_mode(from);
    values.font_face = settings::font_face(from);
    values.font_width = settings::font_width(from);
    values.font_height = settings::font_height(from);
    values.font_weight = settings::font_weight(from);
    return values;
}

}
