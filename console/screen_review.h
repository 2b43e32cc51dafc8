// SPDX-License-Identifier: GPL-3.0-or-later
// Screen review: reading the console screen by character, word, field, line and screen.
#pragma once

namespace interpreter {
struct Runtime;
}

namespace console {

// Runs until the user presses Esc; the script's screen and cursor are as
// they were afterwards. Entered with Ctrl+Alt+F9 from the line editor and
// from menus.
void screen_review(interpreter::Runtime& runtime);

}
