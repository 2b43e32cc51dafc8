// SPDX-License-Identifier: GPL-3.0-or-later
// The bounds a fuzz input runs under, so that every input ends quickly.
#pragma once

#include "interpreter/runtime.h"

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Enough steps for loops to turn many times, few enough that a script that
// loops forever ends in milliseconds.
constexpr uint64_t step_limit = 20000;
// Texts stay small, so that a doubling loop reaches the limit in a few steps
// and a replacement over the longest text stays cheap.
constexpr size_t text_limit = 4096;

inline void limit_runtime(interpreter::Runtime& runtime)
{
    runtime.step_limit = step_limit;
    runtime.text_limit = text_limit;
}

}
