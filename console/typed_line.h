// SPDX-License-Identifier: GPL-3.0-or-later
// read_typed_line: a line typed at the console, echoed, with Backspace as its only editing key.
#pragma once

#include "console/console.h"

#include <string>

namespace interpreter {
class TerminalPort;
}

namespace console {

// Reads keys until Enter and returns at most size - 2 characters, without
// the CR LF that ends the echoed line. Keys without a character (arrows,
// F keys) are skipped whole, so that their codes never become text. Once
// `stop` is true (the run stops: the program is ending) no key can end the
// line any more, and what was typed is returned as it is.
std::string read_typed_line(interpreter::TerminalPort& terminal, const bool& stop, int size = standard_input_line_size);

}
