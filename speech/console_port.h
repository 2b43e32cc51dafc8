// SPDX-License-Identifier: GPL-3.0-or-later
// ConsolePort: what the speech output needs from the console beyond its text and keys: the event loop.
#pragma once

#include "audio/event_port.h"
#include "interpreter/terminal_port.h"

namespace speech {

// Implemented in app/ over the console and its event loop, and by a fake
// in the tests. Every wait of the speech output is a loop of wait_event,
// so keys, window events and the sound device's reports keep flowing.
class ConsolePort : public interpreter::TerminalPort, public audio::EventPort {
public:
    // Both ports ask the same key queue.
    using interpreter::TerminalPort::key_waiting;

    virtual void discard_keys() = 0;

    // Makes a wait_event in progress, or the next one, return at once.
    virtual void post_wake_up() = 0;

    // The start-up failure of the synthesiser ends the program after the
    // user has read the message: this asks for the end with the status.
    virtual void end_program(int status) = 0;
    // True once the end of the program is asked for: nothing more is said.
    virtual bool program_ending() { return false; }
};

}
