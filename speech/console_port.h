// SPDX-License-Identifier: GPL-3.0-or-later
// ConsolePort: what the speech output needs from the console, the keyboard and the event loop.
#pragma once

#include "audio/event_port.h"

#include <cstdint>
#include <string_view>

namespace speech {

// Implemented in app/ over the console and its event source, and by a fake
// in the tests. Every wait of the speech output is a loop of wait_event,
// so keys, window events and the sound device's reports keep flowing.
class ConsolePort : public audio::EventPort {
public:
    virtual void write_text(std::string_view text) = 0;
    virtual void end_line() = 0;

    // Waits for a key and takes it from the queue.
    virtual uint8_t read_key() = 0;
    virtual void discard_keys() = 0;

    // Makes a wait_event in progress, or the next one, return at once.
    virtual void post_wake_up() = 0;

    // The start-up failure of the synthesiser ends the program after the
    // user has read the message; this closes the console and exits.
    [[noreturn]] virtual void close_and_exit(int status) = 0;
};

}
