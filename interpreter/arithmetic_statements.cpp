// SPDX-License-Identifier: GPL-3.0-or-later
// SOMA, SUBTRAI, MULTIPLICA and DIVIDE: signed 32-bit arithmetic that wraps around.
#include "interpreter/argument_readers.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/statements.h"
#include "interpreter/text.h"

#include <limits>

namespace interpreter {

namespace {

int32_t wrap(int64_t value)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(value)));
}

void store_number(Runtime& runtime, int slot, int32_t value)
{
    std::string& text = runtime.variables.writable_text(slot);
    text.clear();
    append_number(text, value);
    runtime.variables.remember_number(slot, value);
}

// Handlers receive their rest trimmed, and the readers leave it so.

// SOMA adds to the number at the end of the variable's text, so that it can
// count up "item9" to "item10", and treats a text without one as 0.
bool run_add(Runtime& runtime, std::string_view rest)
{
    auto target = read_trimmed_target(runtime, rest);
    if (!target)
        return fail_because(runtime, rest.empty() ? FailureReason::MissingOperand : FailureReason::InvalidVariable);
    if (rest.empty())
        return fail_because(runtime, FailureReason::MissingOperand);
    auto addend = read_trimmed_number_value(runtime, rest);
    if (!addend)
        return false;
    add_to_variable(runtime, *target, *addend);
    return true;
}

enum class Operation { Subtract, Multiply, Divide };

bool run_operation(Runtime& runtime, std::string_view rest, Operation operation)
{
    auto target = read_trimmed_target(runtime, rest);
    if (!target)
        return fail_because(runtime, rest.empty() ? FailureReason::MissingOperand : FailureReason::InvalidVariable);
    if (rest.empty())
        return fail_because(runtime, FailureReason::MissingOperand);
    auto left = runtime.variables.number(*target);
    if (!left)
        return fail_because(runtime, FailureReason::NotANumber);
    auto right = read_trimmed_number_value(runtime, rest);
    if (!right)
        return false;
    int32_t result = 0;
    switch (operation) {
    case Operation::Subtract:
        result = wrap(int64_t(*left) - *right);
        break;
    case Operation::Multiply:
        result = wrap(int64_t(*left) * *right);
        break;
    case Operation::Divide:
        if (*right == 0) {
            write_message_line(runtime, "Divis\xE3o por zero");
            return fail_because(runtime, FailureReason::DivisionByZero);
        }
        // The one quotient that does not fit 32 bits fails like a zero divisor.
        if (*left == std::numeric_limits<int32_t>::min() && *right == -1) {
            write_message_line(runtime, "Estouro na divis\xE3o");
            return false;
        }
        result = *left / *right;
        break;
    }
    store_number(runtime, *target, result);
    return rest.empty() || fail_because(runtime, FailureReason::ExtraText);
}

bool run_subtract(Runtime& runtime, std::string_view rest) { return run_operation(runtime, rest, Operation::Subtract); }
bool run_multiply(Runtime& runtime, std::string_view rest) { return run_operation(runtime, rest, Operation::Multiply); }
bool run_divide(Runtime& runtime, std::string_view rest) { return run_operation(runtime, rest, Operation::Divide); }

}

void add_to_variable(Runtime& runtime, int slot, int32_t addend)
{
    // A text the arithmetic wrote is its number alone: it starts at 0.
    size_t number_start = 0;
    int32_t current = 0;
    if (!runtime.variables.known_number(slot, current))
        current = trailing_number(runtime.variables.text(slot), number_start);
    std::string& text = runtime.variables.writable_text(slot);
    if (addend == 1 && current >= 0 && increment_digits_in_place(text, number_start)) {
        if (number_start == 0)
            runtime.variables.remember_number(slot, current + 1);
        return;
    }
    int32_t sum = wrap(int64_t(current) + addend);
    text.resize(number_start);
    append_number(text, sum);
    if (number_start == 0)
        runtime.variables.remember_number(slot, sum);
}

Handler own_add_handler() { return run_add; }

void bind_arithmetic_statements(CommandTable& table)
{
    table.bind("SOMA", run_add);
    table.bind("SUBTRAI", run_subtract);
    table.bind("MULTIPLICA", run_multiply);
    table.bind("DIVIDE", run_divide);
}

}
