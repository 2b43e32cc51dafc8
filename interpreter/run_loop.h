// SPDX-License-Identifier: GPL-3.0-or-later
// The run loop: executing stored lines one at a time, and dispatching statements.
#pragma once

#include <string_view>

namespace interpreter {

struct Runtime;

// Nested statements deeper than this fail: no script needs more, and a CMD
// that runs itself must end with a failure rather than a crash.
constexpr int max_nesting_depth = 64;

struct RunOutcome {
    bool failed = false; // a statement failed
    int line = 0; // the failing line, or where the run ended
};

// The one-time reset at program start: run state, names, variables, lists
// and the start time.
void reset_interpreter(Runtime& runtime);

// Runs the stored lines from line 1; the store is empty afterwards.
RunOutcome run_script(Runtime& runtime);

// Executes one line. `nested` is true for the statement of a one-line SE and
// for CMD, which refuse the block statements.
bool execute_line(Runtime& runtime, std::string_view text, bool nested);
// The same for a text already trimmed at both ends.
bool execute_trimmed(Runtime& runtime, std::string_view text, bool nested);

// Runs one statement: `keyword` as split from the line.
bool execute_statement(Runtime& runtime, std::string_view keyword, std::string_view rest);

}
