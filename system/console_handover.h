// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleHandover: how a program started in the foreground gets the terminal.
#pragma once

namespace sys {

// The terminal console implements this: a program started with a plain
// EXECUTA takes the terminal, and the console has it back once it ends.
class ConsoleHandover {
public:
    virtual ~ConsoleHandover() = default;
    // Leaves raw mode and shows the normal screen, ready for the program.
    virtual void leave_terminal() = 0;
    // Raw mode again, and the console repainted over whatever the program left.
    virtual void restore_terminal() = 0;
};

}
