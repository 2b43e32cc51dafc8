// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleTerminal: the console as the statements' terminal port.
#pragma once

#include "console/console.h"
#include "interpreter/terminal_port.h"

namespace console {

class ConsoleTerminal final : public interpreter::TerminalPort {
public:
    explicit ConsoleTerminal(Console& console)
        : m_console(console)
    {
    }

    void write_text(std::string_view text) override { m_console.write_chars(text); }
    void end_line() override { m_console.write_chars("\r\n"); }
    bool key_waiting() override { return m_console.key_pressed(); }
    uint8_t read_key() override { return m_console.read_key(); }

private:
    Console& m_console;
};

}
