// SPDX-License-Identifier: GPL-3.0-or-later
// Integer expressions, for values written in parentheses.
#pragma once

#include <cstdint>
#include <string_view>

namespace interpreter {

struct Runtime;

struct ExpressionResult {
    bool valid = false;
    int64_t value = 0;
    // The text from the token that ended the expression onwards.
    std::string_view rest;
};

// Evaluates + - * / and unary minus over numbers, letters and "$" names from
// the front of `text`, in signed 64-bit arithmetic. A zero divisor, or a
// quotient that does not fit, makes the expression invalid.
ExpressionResult eval_expression(Runtime& runtime, std::string_view text);

// The same by the full grammar alone, without the shortcut that
// eval_expression takes for flat expressions; the two always agree.
ExpressionResult eval_expression_by_grammar(Runtime& runtime, std::string_view text);

}
