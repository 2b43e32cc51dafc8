// SPDX-License-Identifier: GPL-3.0-or-later
// CONCATENA, COPIA, DELETA and SUBSTITUI: editing a variable's text in place.
#include "interpreter/argument_readers.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/statements.h"
#include "interpreter/text.h"

namespace interpreter {

namespace {

// A position or count operand: a value, trimmed, read as a number.
std::optional<int32_t> read_trimmed_number(Runtime& runtime, std::string_view& rest)
{
    std::string text;
    if (!read_value(runtime, rest, text))
        return std::nullopt;
    return parse_number(trim(text));
}

bool run_concatenate(Runtime& runtime, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    std::string value;
    if (!read_value(runtime, rest, value) || !rest.empty())
        return false;
    runtime.variables.text(*target) += value;
    return true;
}

bool run_copy(Runtime& runtime, std::string_view rest)
{
    auto destination = read_target(runtime, rest);
    if (!destination)
        return false;
    auto source = read_target(runtime, rest);
    if (!source)
        return false;
    auto first = read_trimmed_number(runtime, rest);
    if (!first)
        return false;
    auto last = read_trimmed_number(runtime, rest);
    if (!last)
        return false;
    // The count is taken before a start below 1 is moved up to 1.
    int64_t count = int64_t(*last) - *first + 1;
    int64_t start = *first < 1 ? 1 : *first;
    const std::string& text = runtime.variables.text(*source);
    std::string result;
    if (count > 0 && start <= static_cast<int64_t>(text.size()))
        result = text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(count));
    runtime.variables.set(*destination, result);
    return true;
}

bool run_delete(Runtime& runtime, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    auto position = read_trimmed_number(runtime, rest);
    if (!position)
        return false;
    auto count = read_trimmed_number(runtime, rest);
    if (!count)
        return false;
    std::string& text = runtime.variables.text(*target);
    if (*position >= 1 && *position <= static_cast<int64_t>(text.size()) && *count > 0)
        text.erase(static_cast<size_t>(*position - 1), static_cast<size_t>(*count));
    return true;
}

// Replacements run from the end of the text towards its start, so text
// inserted by one replacement lies to the right of the positions still to be
// examined; a match that overlaps the start of an inserted text is replaced.
bool run_substitute(Runtime& runtime, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    std::string pattern, replacement;
    if (!read_value(runtime, rest, pattern) || !read_value(runtime, rest, replacement))
        return false;
    std::string text = runtime.variables.text(*target);
    if (pattern.size() <= text.size()) {
        for (size_t position = text.size() - pattern.size() + 1; position >= 1; --position) {
            if (text.compare(position - 1, pattern.size(), pattern) == 0)
                text.replace(position - 1, pattern.size(), replacement);
        }
    }
    runtime.variables.set(*target, text);
    return true;
}

}

void bind_string_statements(CommandTable& table)
{
    table.bind("CONCATENA", run_concatenate);
    table.bind("COPIA", run_copy);
    table.bind("DELETA", run_delete);
    table.bind("SUBSTITUI", run_substitute);
}

}
