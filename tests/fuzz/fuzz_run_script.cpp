// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: arbitrary text split into lines, stored and run.
#include "fuzz_limits.h"
#include "interpreter/run_loop.h"
#include "tests/support/test_runtime.h"

#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    test_support::TestRuntime test;
    fuzz::limit_runtime(test.runtime);
    test.run_text(input);
    // The store is empty now; a second run must end at once.
    auto second = interpreter::run_script(test.runtime);
    if (second.failed || second.line != 1)
        __builtin_trap();
    return 0;
}
