// SPDX-License-Identifier: GPL-3.0-or-later
// WorldPort: the clock, the random seed and the desktop, as statements reach them.
#pragma once

#include <cstdint>
#include <string_view>

namespace interpreter {

struct TimeOfDay {
    int year = 2000;
    int month = 1;
    int day = 1;
    int weekday = 6; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int hundredths = 0;
};

// Implemented in app/ over the clock, the event loop and the process
// launcher, and by fakes in the tests.
class WorldPort {
public:
    virtual ~WorldPort() = default;

    // Lets `milliseconds` pass while pending events are dispatched.
    virtual void pause_ms(int milliseconds) = 0;
    virtual TimeOfDay local_time() = 0;
    // A seed for the random number generator that changes from run to run.
    virtual uint32_t random_seed() = 0;
    // Opens a program or a document the Windows way (the shell's "open"):
    // a program file is started with `parameter`, a document or a link goes
    // to the desktop's opener. Both are script text (Windows-1252, Windows
    // paths). False when nothing could be started.
    virtual bool open_document(std::string_view file, std::string_view parameter) = 0;
    // Lets the events that came meanwhile act without waiting for more:
    // the run loop calls it every few thousand statements, so that closing
    // the window or Ctrl+Break ends a script that never waits. Either only
    // asks for the end of the program: this call returns all the same, the
    // request sets `stop_requested` (app/ wires that), and the run stops
    // before its next statement.
    virtual void look_at_events() { }
};

}
