// SPDX-License-Identifier: GPL-3.0-or-later
// The speaking line editor: one field of text typed and corrected with speech feedback.
#pragma once

#include <cstdint>
#include <string>

namespace interpreter {
struct Runtime;
}

namespace console {

// Extended codes that end editing are returned as they are (72 for Up, 80
// for Down), so a caller tells them from the control bytes by value; Alt+F1
// returns this code.
constexpr uint8_t edit_alt_f1_code = 104;

// Edits `text` in place on the console at the one-based `column` and `row`,
// `width` characters wide (scrolling inside a longer field), and returns the
// key that ended editing: Tab, Ctrl+B, Ctrl+Enter, Enter, Esc, or the code of
// an extended key the editor does not use. At most `max_length` characters
// (capped at 2048); trailing blanks are removed from the result. A field that
// is not editable can still be moved in, read and copied.
uint8_t edit_line(interpreter::Runtime& runtime, std::string& text, int column, int row, bool editable, int width,
    int max_length);

}
