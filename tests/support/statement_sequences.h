// SPDX-License-Identifier: GPL-3.0-or-later
// Random statement sequences of the language, and runs of them from decoded lines or from text.
#pragma once

#include "interpreter/run_loop.h"
#include "system/system_statements.h"
#include "tests/support/test_runtime.h"

#include <iterator>
#include <string>
#include <vector>

namespace test_support {

// A Source hands out choices as libFuzzer's FuzzedDataProvider does:
// ConsumeIntegralInRange, ConsumeBool, ConsumeRandomLengthString and
// remaining_bytes.

// Pieces of the language that the control-flow statements and the argument
// readers treat specially; the input picks among them, so that most inputs
// are scripts with labels, blocks and jumps rather than unknown keywords.
inline constexpr const char* random_variables[] = { "a", "b", "N", "$x", "$Conta_1", "$x", "z" };
inline constexpr const char* random_values[] = { "1", "0", "-3", "7", "\"abc\"", "\"\"", "\"a\"\"b\"", "a", "b", "$x",
    "(a + 2)", "(b * a)", "\"12\"", "N", "($x - a / 2 * 2)", "007", "($Conta_1+1)", "$Conta_1" };
// Values that read as numbers while a, b and N hold numbers.
inline constexpr const char* random_numbers[] = { "1", "0", "-3", "7", "a", "b", "N", "(a + 2)", "\"12\"" };
// Values that fail to read, or to read as numbers; picked seldom, so that
// most scripts run past their first lines.
inline constexpr const char* random_bad_values[] = { "99999999999", "%x", "(", "\"x", "$" };
inline constexpr const char* random_comparisons[] = { "=", "<>", "<", ">", "<=", ">=", "!" };
// Mostly labels that exist (see random_script), in any case.
inline constexpr const char* random_labels[] = { "@um", "@dois", "@Um", "@DOIS", "@um", "@dois", "@tres", "@", "\"um\"",
    "$x" };
inline constexpr const char* random_keyword_cases[] = { "", "lower", "Mixed" };

template <typename Source>
std::string pick(Source& input, const auto& table)
{
    return table[input.template ConsumeIntegralInRange<size_t>(0, std::size(table) - 1)];
}

template <typename Source>
std::string pick_value(Source& input)
{
    if (input.template ConsumeIntegralInRange<int>(0, 19) == 0)
        return pick(input, random_bad_values);
    return pick(input, random_values);
}

// The keyword in the case the input chooses: the run loop folds it.
template <typename Source>
std::string keyword(Source& input, std::string word)
{
    std::string style = pick(input, random_keyword_cases);
    for (size_t index = 0; index < word.size(); ++index) {
        char& c = word[index];
        if (style == "lower" || (style == "Mixed" && index % 2 == 1))
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    }
    return word;
}

template <typename Source>
std::string condition(Source& input)
{
    return pick_value(input) + " " + pick(input, random_comparisons) + " " + pick_value(input);
}

// One statement; `depth` bounds the statements nested in SE and CMD.
template <typename Source>
std::string statement(Source& input, int depth)
{
    // Past the last case: the statements that cannot upset the blocks, so
    // that most scripts run on past their first lines.
    int choice = input.ConsumeIntegralInRange(0, 40);
    if (choice > 22)
        choice = choice % 5 == 0 ? 9 : choice % 5;
    switch (choice) {
    case 0:
        return keyword(input, "SEJA") + " " + pick(input, random_variables) + (input.ConsumeBool() ? " = " : " ")
            + pick_value(input);
    case 1:
        return keyword(input, "SOMA") + " " + pick(input, random_variables) + " " + pick(input, random_numbers);
    case 2:
        return keyword(input, "SUBTRAI") + " " + pick(input, random_variables) + " " + pick(input, random_numbers);
    case 3:
        return keyword(input, "CONCATENA") + " " + pick(input, random_variables) + " " + pick_value(input);
    case 4:
        return keyword(input, "ESCREVE") + " " + pick_value(input);
    case 5:
        return keyword(input, "DESVIA") + " " + pick(input, random_labels);
    case 6:
        return keyword(input, "CHAMA") + " " + pick(input, random_labels);
    case 7:
        return keyword(input, "RETORNA");
    case 8:
        return keyword(input, "SE") + " " + condition(input);
    case 9:
        if (depth < 3)
            return keyword(input, "SE") + " " + condition(input) + " " + statement(input, depth + 1);
        return keyword(input, "SENAO");
    case 10:
        return input.ConsumeBool() ? keyword(input, "SENAO") : "sen\xE3o";
    case 11:
        return keyword(input, "FIM") + " " + keyword(input, "SE");
    case 12:
        return keyword(input, "ENQUANTO") + " " + condition(input);
    case 13:
        return keyword(input, "FIM") + " " + keyword(input, "ENQUANTO");
    case 14:
        return keyword(input, "REPETE") + " " + pick(input, random_variables) + " " + pick(input, random_numbers);
    case 15:
        return keyword(input, "FIM") + " " + keyword(input, "REPETE");
    case 16:
        return "@" + pick(input, random_labels).substr(1);
    case 17: {
        if (depth >= 3)
            return keyword(input, "TERMINA");
        // CMD runs a text built at run time: the statement quoted, its
        // quotes doubled.
        std::string inner = statement(input, depth + 1);
        std::string quoted = "\"";
        for (char c : inner) {
            quoted += c;
            if (c == '"')
                quoted += '"';
        }
        return keyword(input, "CMD") + " " + quoted + "\"";
    }
    case 18:
        return keyword(input, "DEBUG") + " " + (input.ConsumeBool() ? "S" : "N");
    case 19:
        return "* " + input.ConsumeRandomLengthString(8);
    case 20:
        return input.ConsumeRandomLengthString(24);
    case 21:
        return keyword(input, "COPIA") + " " + pick(input, random_variables) + " " + pick(input, random_variables) + " "
            + pick(input, random_numbers) + " " + pick(input, random_numbers);
    default:
        return "";
    }
}

// Blanks around and inside a line, which both paths must trim alike.
template <typename Source>
std::string dress(Source& input, std::string line)
{
    switch (input.ConsumeIntegralInRange(0, 5)) {
    case 0:
        return "  " + line;
    case 1:
        return "\t" + line + " \r";
    case 2: {
        size_t space = line.find(' ');
        return space == std::string::npos ? line : line.insert(space, "  ");
    }
    default:
        return line;
    }
}

// The variables set, up to `max_lines` random lines until the source runs
// dry, and the routines that the jumps and calls name.
template <typename Source>
std::vector<std::string> random_script(Source& input, size_t max_lines)
{
    std::vector<std::string> lines = { "seja a 1", "seja b 2", "seja N 0", "seja $x \"dois\"" };
    while (input.remaining_bytes() > 0 && lines.size() < max_lines)
        lines.push_back(dress(input, statement(input, 0)));
    for (const char* line : { "termina", "@um", "soma N 1", "retorna", "@dois", "escreve N", "retorna" })
        lines.push_back(line);
    return lines;
}

// What a run leaves that a script or its user can observe.
struct PathResult {
    interpreter::RunOutcome outcome;
    interpreter::FailureReason reason = interpreter::FailureReason::None;
    std::string console;
    std::vector<std::string> speech;
    int event_looks = 0;
    std::vector<std::string> slots; // every variable slot's text
    int call_depth = 0;

    bool operator==(const PathResult& other) const
    {
        return outcome.failed == other.outcome.failed && outcome.line == other.outcome.line && reason == other.reason
            && console == other.console && speech == other.speech
            && event_looks == other.event_looks && slots == other.slots && call_depth == other.call_depth;
    }
};

// Runs `lines` on a fresh runtime with the core statements and CMD, from
// decoded lines or (`text_path`) from their text, under a step limit and a
// small text limit so that every script ends quickly.
inline PathResult run_one_path(const std::vector<std::string>& lines, bool text_path, uint64_t step_limit = 20000)
{
    TestRuntime test([](interpreter::CommandTable& table) {
        bind_core_statements(table);
        // CMD alone of the system statements: the others reach processes.
        interpreter::CommandTable system_table;
        sys::bind_system_statements(system_table);
        table.bind("CMD", system_table.find("CMD")->handler);
    });
    test.runtime.step_limit = step_limit;
    test.runtime.text_limit = 4096;
    test.runtime.text_path = text_path;
    int number = 0;
    for (const std::string& line : lines)
        test.runtime.store.store_line(line, ++number);
    PathResult result;
    result.outcome = interpreter::run_script(test.runtime);
    result.reason = test.runtime.failure_reason;
    result.console = test.ports.console;
    result.speech = test.ports.speech;
    result.event_looks = test.ports.event_looks;
    for (int slot = 0; slot < interpreter::slot_count; ++slot)
        result.slots.push_back(test.runtime.variables.text(slot));
    result.call_depth = test.runtime.call_depth;
    return result;
}

}
