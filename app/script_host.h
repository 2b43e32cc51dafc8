// SPDX-License-Identifier: GPL-3.0-or-later
// The script host: start-up, one run of the stored script, and the end report.
#pragma once

#include "app/console_host.h"
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
int run_stored_script(interpreter::Runtime& runtime, ConsoleHost& host, const std::vector<std::string>& lines);

// The console part of the start-up: the screen cleared, the caption
// "CORVANTE" and then the program's name.
void start_console(ConsoleHost& host, std::string_view program_name);

// Builds the command table with every statement this build has.
void bind_all_statements(interpreter::CommandTable& table);

}
