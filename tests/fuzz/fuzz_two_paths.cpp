// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target: random statement sequences run from decoded lines and from text must agree.
#include "fuzz_limits.h"
#include "tests/support/statement_sequences.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    std::vector<std::string> lines = test_support::random_script(input, 60);
    auto decoded = test_support::run_one_path(lines, false, fuzz::step_limit);
    auto text = test_support::run_one_path(lines, true, fuzz::step_limit);
    if (!(decoded == text)) {
        for (const std::string& line : lines)
            std::fprintf(stderr, "| %s\n", line.c_str());
        std::fprintf(stderr, "decoded: failed %d line %d; text: failed %d line %d\n", decoded.outcome.failed,
            decoded.outcome.line, text.outcome.failed, text.outcome.line);
        __builtin_trap();
    }
    return 0;
}
