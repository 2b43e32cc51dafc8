// SPDX-License-Identifier: GPL-3.0-or-later
// Conditions of SE and ENQUANTO, and the comparison key they sort by.
#pragma once

#include <string>
#include <string_view>

namespace interpreter {

struct Runtime;

struct ConditionResult {
    bool valid = false;
    bool truth = false;
    std::string_view rest; // trimmed text after the condition
};

ConditionResult eval_condition(Runtime& runtime, std::string_view text);

// The same by the general rules alone, without the shortcut that
// eval_condition takes for two simple numbers; the two always agree.
ConditionResult eval_condition_by_rules(Runtime& runtime, std::string_view text);

// The value upper-cased; a text of digits only is zero-filled on the left
// to 21 characters (keeping the last 21 digits), so that digit texts compare
// as numbers. The empty text becomes 20 zeros.
std::string compare_key(std::string_view value);

// Orders two values by their comparison keys, without building them:
// negative, zero or positive.
int compare_by_key(std::string_view left, std::string_view right);

}
