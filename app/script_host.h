// SPDX-License-Identifier: GPL-3.0-or-later
// The script host: start-up, one run of the stored script, and the end report.
#pragma once

#include "console/console.h"
#include "interpreter/runtime.h"

#include <string>
#include <vector>

namespace app {

// Exit statuses of both programs.
constexpr int exit_normal = 0;
constexpr int exit_statement_failed = 1;
constexpr int exit_cannot_start = 2;
constexpr int exit_keys_ran_out = 3;

// Stores the lines, runs them once and reports the end: "Fim do script"
// after a normal end (unless TERMINA MUDO), or the failing line number,
// after which it waits for the user's Enter. Returns the exit status.
int run_stored_script(interpreter::Runtime& runtime, console::Console& console, const std::vector<std::string>& lines);

// Builds the command table with every statement this build has.
void bind_all_statements(interpreter::CommandTable& table);

}
