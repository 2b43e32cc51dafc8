// SPDX-License-Identifier: GPL-3.0-or-later
// ConsolePort: what the speech output needs from the console, the keyboard and the event loop.
#pragma once

#include <cstdint>
#include <string_view>

namespace speech {

// Implemented in app/ over the console and its event source, and by a fake
// in the tests. Every wait of the speech output is a loop of wait_event,
// so keys, window events and the sound device's reports keep flowing.
class ConsolePort {
public:
    virtual ~ConsolePort() = default;

    virtual void write_text(std::string_view text) = 0;
    virtual void end_line() = 0;

    // True when a key is waiting in the key queue; never takes it.
    virtual bool key_waiting() = 0;
    // Waits for a key and takes it from the queue.
    virtual uint8_t read_key() = 0;
    virtual void discard_keys() = 0;

    // Dispatches pending events, then waits up to `timeout_ms` for the next
    // one (a key, a played block, a wake-up) and dispatches it too. Time
    // passes on the runtime's clock (at once in fast runs).
    virtual void wait_event(int timeout_ms) = 0;
    // Makes a wait_event in progress, or the next one, return at once.
    virtual void post_wake_up() = 0;

    // The start-up failure of the synthesiser ends the program after the
    // user has read the message; this closes the console and exits.
    [[noreturn]] virtual void close_and_exit(int status) = 0;
};

}
