// SPDX-License-Identifier: GPL-3.0-or-later
// The captured child's waiting output, for the "CONSOLE" form of LE.
#pragma once

#include <string>

namespace interpreter {
struct Runtime;
}

namespace sys {

// What waits now in the captured child's output and error pipes, joined as
// LE "CONSOLE" stores it; empty when no child is captured.
std::string read_captured_output(interpreter::Runtime& runtime);

}
