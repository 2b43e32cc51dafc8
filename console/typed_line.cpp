// SPDX-License-Identifier: GPL-3.0-or-later
// read_typed_line: a line typed at the console, echoed, with Backspace as its only editing key.
#include "console/typed_line.h"

#include "interpreter/terminal_port.h"

namespace console {

std::string read_typed_line(interpreter::TerminalPort& terminal, const bool& stop, int size)
{
    std::string line;
    while (true) {
        auto key = terminal.read_key_press();
        if (stop)
            break;
        if (key.extended)
            continue;
        if (key.code == 13)
            break;
        if (key.code == 8) {
            if (!line.empty()) {
                line.pop_back();
                terminal.write_text("\b");
            }
            continue;
        }
        if (key.code >= 32 && static_cast<int>(line.size()) < size - 2) {
            line.push_back(static_cast<char>(key.code));
            terminal.write_text(std::string_view(&line.back(), 1));
        }
    }
    terminal.end_line();
    return line;
}

}
