// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/menu_choice.h"

#include "console/console.h"
#include "console/menu.h"
#include "console/screen_review.h"
#include "interpreter/runtime.h"

#include <string>

namespace console {

void draw_menu(Console& console, const Menu& menu, int text_colour)
{
    auto shown = menu.shown_rectangle();
    auto width = static_cast<size_t>(menu.width());
    std::string row_text;
    for (int row = 0; row < menu.visible_rows(); ++row) {
        int index = menu.first_shown() + row;
        row_text.assign(menu.item_text(index).substr(0, width));
        row_text.resize(width, ' ');
        int colour = text_colour;
        if (index == menu.current())
            colour = menu_highlight_colour;
        else if (menu.is_marked(index))
            colour = menu_marked_colour;
        console.goto_xy(shown.left, shown.top + row);
        console.set_text_colour(colour);
        console.write_chars(row_text);
    }
    // The cursor stays on the highlighted row, also on the place after the
    // last item: a magnifier and a braille display follow the cursor, and
    // must show the user where the highlight is.
    int current = menu.current();
    bool highlight_shown = current >= menu.first_shown() && current < menu.first_shown() + menu.visible_rows();
    int cursor_row = highlight_shown ? menu.row_of(current) : shown.top;
    console.goto_xy(shown.left, cursor_row);
    console.show_highlight(shown.left, cursor_row, highlight_shown ? menu.width() : 0);
}

interpreter::KeyPress run_menu_choice(interpreter::Runtime& runtime, Console& console, Menu& menu)
{
    int text_colour = console.attribute() & 0x0F;
    interpreter::KeyPress end;
    menu.start_choice();
    while (true) {
        menu.scroll();
        draw_menu(console, menu, text_colour);
        if (menu.is_marked(menu.current()))
            runtime.speech.play_beep();
        std::string_view text = menu.item_text(menu.current());
        console.magnifier().show(text, 0);
        runtime.speech.speak_text(text);

        auto key = runtime.terminal.read_key_press();
        if (!key.extended) {
            if (menu.press_key(key.code).ends_choice) {
                end = key;
                break;
            }
            continue;
        }
        uint8_t code = key.code;
        runtime.speech.stop_speech();
        auto result = menu.press_extended(code, console.held_modifiers());
        for (int beep = 0; beep < result.beeps; ++beep)
            runtime.speech.play_beep();
        if (result.opens_screen_review)
            screen_review(runtime);
        if (result.ends_choice) {
            end = key;
            break;
        }
    }
    console.set_text_colour(text_colour);
    console.show_highlight(1, 1, 0);
    return end;
}

}
