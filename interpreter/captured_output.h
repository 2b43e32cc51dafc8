// SPDX-License-Identifier: GPL-3.0-or-later
// CapturedOutput: what the captured child process has written, for LE "CONSOLE".
#pragma once

#include <string>

namespace interpreter {

// The process commands hold the captured child (system/); the console's LE
// reads its output (console/). Each sees only this interface, wired in app/.
class CapturedOutput {
public:
    virtual ~CapturedOutput() = default;
    // What waits now in the child's output and error pipes, joined as LE
    // "CONSOLE" stores it; never blocks; empty without a child.
    virtual std::string read_captured_output() = 0;
};

}
