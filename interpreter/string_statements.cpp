// SPDX-License-Identifier: GPL-3.0-or-later
// CONCATENA, COPIA, DELETA and SUBSTITUI: editing a variable's text in place.
#include "interpreter/argument_readers.h"
#include "interpreter/messages.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/statements.h"
#include "interpreter/text.h"

namespace interpreter {

namespace {

constexpr std::string_view text_too_long = "Texto muito longo";

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
    std::string& text = runtime.variables.writable_text(*target);
    if (text.size() + value.size() > runtime.text_limit) {
        write_message_line(runtime, text_too_long);
        return false;
    }
    text += value;
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
    const std::string& text = runtime.variables.writable_text(*source);
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
    std::string& text = runtime.variables.writable_text(*target);
    if (*position >= 1 && *position <= static_cast<int64_t>(text.size()) && *count > 0)
        text.erase(static_cast<size_t>(*position - 1), static_cast<size_t>(*count));
    return true;
}

// Replacements run from the end of the text towards its start, so text
// inserted by one replacement lies to the right of the positions still to be
// examined; a match that overlaps the start of an inserted text is replaced.
// The result is built backwards, reversed, so that a step costs the length of
// the pattern rather than a move of the rest of the text: replacing every
// line end of a long text stays linear. Nothing when it would grow past
// `limit`.
std::optional<std::string> substitute_from_the_end(std::string_view text, std::string_view pattern,
    std::string_view replacement, size_t limit)
{
    if (pattern.size() > text.size())
        return std::string(text);
    std::string reversed_pattern(pattern.rbegin(), pattern.rend());
    std::string reversed_replacement(replacement.rbegin(), replacement.rend());
    // The part of the text from the current position on, reversed. The last
    // length(pattern) - 1 characters can never start a match.
    size_t tail = pattern.empty() ? 0 : pattern.size() - 1;
    std::string done(text.rbegin(), text.rbegin() + static_cast<std::ptrdiff_t>(tail));
    done.reserve(text.size() + replacement.size());
    for (size_t position = text.size() - pattern.size() + 1; position-- > 0;) {
        if (position < text.size())
            done += text[position];
        // A replacement shorter than the pattern may leave fewer characters
        // after the position than the pattern has: no match there.
        if (done.size() < pattern.size()
            || done.compare(done.size() - pattern.size(), pattern.size(), reversed_pattern) != 0)
            continue;
        done.resize(done.size() - pattern.size());
        done += reversed_replacement;
        if (done.size() + position > limit)
            return std::nullopt;
    }
    return std::string(done.rbegin(), done.rend());
}

bool run_substitute(Runtime& runtime, std::string_view rest)
{
    auto target = read_target(runtime, rest);
    if (!target)
        return false;
    std::string pattern, replacement;
    if (!read_value(runtime, rest, pattern) || !read_value(runtime, rest, replacement))
        return false;
    auto result = substitute_from_the_end(runtime.variables.text(*target), pattern, replacement, runtime.text_limit);
    if (!result) {
        write_message_line(runtime, text_too_long);
        return false;
    }
    runtime.variables.writable_text(*target) = std::move(*result);
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
