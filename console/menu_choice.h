// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of MENU "EXECUTA": drawing the menu and reading keys until one ends it.
#pragma once

#include <cstdint>

namespace interpreter {
struct Runtime;
}

namespace console {

class Console;
class Menu;

// The key that ended a choice: a key byte, or 0 and the extended code.
struct MenuChoiceEnd {
    uint8_t key = 0;
    uint8_t extended_code = 0;
};

// Draws the menu in its colours, speaks the highlighted item and reads keys
// until one ends the choice; the script's text colour is restored at the
// end. Keys come from the runtime's terminal port, so that the speech output hears
// them first.
MenuChoiceEnd run_menu_choice(interpreter::Runtime& runtime, Console& console, Menu& menu);

// Draws every visible row and puts the cursor on the highlighted row;
// `text_colour` is the colour of the items that are neither highlighted nor
// marked.
void draw_menu(Console& console, const Menu& menu, int text_colour);

}
