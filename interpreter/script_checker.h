// SPDX-License-Identifier: GPL-3.0-or-later
// Decoding a whole script and checking it without running it.
#pragma once

#include "interpreter/command_table.h"
#include "interpreter/failure_reason.h"
#include "interpreter/statement_decoder.h"

#include <string>
#include <string_view>
#include <vector>

namespace interpreter {

// The lines of a script decoded, index 0 for line 1, with the targets of
// jumps and blocks resolved by the structure of the text: a block's end is
// the one that closes it, counting nesting.
std::vector<DecodedStatement> decode_script(const CommandTable& table, const std::vector<std::string>& lines);

struct Diagnostic {
    int line = 0;
    FailureReason reason = FailureReason::None;
    // What the reason is about: the keyword, the label, the name
    // (Windows-1252); may be empty.
    std::string detail;
};

struct CheckLimits {
    // The longest line the runner accepts; 0 for no limit.
    size_t max_line_length = 0;
};

// Every problem the text of the script shows, in line order; empty when it
// checks clean.
std::vector<Diagnostic> check_script(const CommandTable& table, const std::vector<std::string>& lines, CheckLimits limits);

// "reason: detail", or the reason alone (Windows-1252).
std::string describe_diagnostic(const Diagnostic& diagnostic);

}
