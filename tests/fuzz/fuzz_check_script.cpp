// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: arbitrary text checked as a script, and the decoder held to the run.
#include "fuzz_limits.h"
#include "interpreter/run_loop.h"
#include "interpreter/script_checker.h"
#include "interpreter/statement_decoder.h"
#include "tests/support/test_runtime.h"

#include <string>
#include <string_view>
#include <vector>

namespace {

// A line the decoder finds a problem in must fail when it runs, whatever
// the variables hold: otherwise the checker would call wrong a line that
// works. For a one-line SE whose problem is in its statement, that
// statement is what must fail, as the condition may keep it from running.
void expect_failure_where_decoded(test_support::TestRuntime& test, std::string_view line, bool nested, int depth)
{
    auto decoded = interpreter::decode_statement(test.commands, line, nested);
    if (decoded.problem == interpreter::FailureReason::None || depth > 60)
        return;
    if (decoded.role == interpreter::BlockRole::OneLineIf
        && interpreter::decode_statement(test.commands, decoded.nested.in(line), true).problem != interpreter::FailureReason::None) {
        expect_failure_where_decoded(test, decoded.nested.in(line), true, depth + 1);
        return;
    }
    if (interpreter::execute_line(test.runtime, line, nested))
        __builtin_trap();
}

}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> lines;
    while (!input.empty()) {
        size_t end = input.find('\n');
        lines.emplace_back(input.substr(0, end));
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    test_support::TestRuntime test;
    fuzz::limit_runtime(test.runtime);
    auto diagnostics = interpreter::check_script(test.commands, lines, { .max_line_length = 200 });
    for (size_t i = 1; i < diagnostics.size(); ++i) {
        if (diagnostics[i].line < diagnostics[i - 1].line || diagnostics[i].line < 1)
            __builtin_trap();
    }
    auto decoded = interpreter::decode_script(test.commands, lines);
    for (const auto& statement : decoded) {
        if (statement.target < 0 || statement.target > static_cast<int>(lines.size()))
            __builtin_trap();
    }
    for (const auto& line : lines)
        expect_failure_where_decoded(test, line, false, 0);
    return 0;
}
