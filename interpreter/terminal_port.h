// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalPort: the console's text output and its keys, as statements reach them.
#pragma once

#include <cstdint>
#include <string_view>

namespace interpreter {

// A key as it is read from the key queue: a character byte, or the code of
// a key without a character (an arrow, F1), which the queue holds as a 0
// followed by that code.
struct KeyPress {
    uint8_t code = 0;
    bool extended = false;

    bool is(uint8_t character) const { return !extended && code == character; }
};

// Implemented in console/ over the console, and by fakes in the tests.
class TerminalPort {
public:
    virtual ~TerminalPort() = default;

    // Writes bytes at the console's cursor; CR and LF are control bytes.
    virtual void write_text(std::string_view text) = 0;
    // Ends the console line (CR LF).
    virtual void end_line() = 0;
    // True when a key is waiting in the key queue; never takes it.
    virtual bool key_waiting() = 0;
    // Waits for a key and takes one byte of it from the queue.
    virtual uint8_t read_key() = 0;

    // Waits for a key and takes the whole of it from the queue.
    KeyPress read_key_press()
    {
        uint8_t first = read_key();
        if (first != 0)
            return { first, false };
        return { read_key(), true };
    }
};

}
