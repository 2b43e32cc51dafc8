// SPDX-License-Identifier: GPL-3.0-or-later
// The script host: start-up, one run of the stored script, and the end report.
#pragma once

#include "console/console.h"
#include "interpreter/failure_reason.h"
#include "interpreter/runtime.h"

#include <string>
#include <string_view>
#include <vector>

namespace app {

// Exit statuses of both programs.
constexpr int exit_normal = 0;
constexpr int exit_statement_failed = 1;
constexpr int exit_cannot_start = 2;
constexpr int exit_keys_ran_out = 3;

// Why a run failed and where, for the runner's line on standard error.
struct FailureReport {
    int line = 0; // 0 when the run did not fail
    interpreter::FailureReason reason = interpreter::FailureReason::None;
};

// Stores the lines, runs them once and reports the end: "Fim do script"
// after a normal end (unless TERMINA MUDO); after a failure the line number,
// why it failed and the line's text, then "Tecle Enter" and the wait for
// it. Returns the exit status; `report`, when given, gets the failure.
int run_stored_script(interpreter::Runtime& runtime, console::Console& console, const std::vector<std::string>& lines,
    FailureReport* report = nullptr);

// The reason a failed statement gave, or when it gave none, what its text
// shows (an unknown keyword, a missing operand, ...), or else that the
// command failed.
interpreter::FailureReason reason_for_failure(const interpreter::Runtime& runtime, std::string_view line);

// Builds the command table with every statement this build has.
void bind_all_statements(interpreter::CommandTable& table);

}
