// SPDX-License-Identifier: GPL-3.0-or-later
// The main routine both programs share: options, backends, start-up, one run, the report.
#pragma once

#include <span>
#include <string_view>

namespace app {

struct Program {
    std::string_view name; // "corvante" or "nubrado": messages and the caption
    // corvante reads its script from the file named after the options;
    // nubrado runs the lines it carries, and all its arguments are the
    // script's.
    bool takes_script = false;
    std::span<const std::string_view> embedded_lines;
};

// Returns the exit status.
int run_program(const Program& program, int argc, char** argv);

}
