// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: arbitrary lines given to execute_line on a fresh runtime.
#include "fuzz_limits.h"
#include "interpreter/run_loop.h"
#include "tests/support/test_runtime.h"

#include <string_view>

// Each line of the input is executed in turn on the same runtime, so that
// one line can prepare variables and lists for the next. The first byte
// chooses whether the lines run as a one-line SE's statement (nested) or as
// the run loop runs them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    bool nested = (data[0] & 1) != 0;
    std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    test_support::TestRuntime test;
    fuzz::limit_runtime(test.runtime);
    while (!input.empty()) {
        size_t end = input.find('\n');
        interpreter::execute_line(test.runtime, input.substr(0, end), nested);
        input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    }
    return 0;
}
