// SPDX-License-Identifier: GPL-3.0-or-later
// The message line: how commands tell the user what went wrong.
#pragma once

#include <string_view>

namespace interpreter {

struct Runtime;

// Writes the text on the console, speaks it, then ends the console line.
void write_message_line(Runtime& runtime, std::string_view text);

}
