// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of MENU "EXECUTA": drawing the menu and reading keys until one ends it.
#pragma once

#include "interpreter/terminal_port.h"

namespace interpreter {
struct Runtime;
}

namespace console {

class Console;
class Menu;

// Draws the menu in its colours, speaks the highlighted item and reads keys
// until one ends the choice, which is returned; the script's text colour is
// restored at the end. Keys come from the runtime's terminal port, so that the speech output hears
// them first.
interpreter::KeyPress run_menu_choice(interpreter::Runtime& runtime, Console& console, Menu& menu);

// Draws every visible row and puts the cursor on the highlighted row;
// `text_colour` is the colour of the items that are neither highlighted nor
// marked.
void draw_menu(Console& console, const Menu& menu, int text_colour);

}
