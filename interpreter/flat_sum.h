// SPDX-License-Identifier: GPL-3.0-or-later
// The sum of a flat run of operands joined by + - * /, in 64-bit two's
// complement: two accumulators give "*" and "/" their precedence over "+"
// and "-" without a parse tree.
#pragma once

#include <cstdint>
#include <limits>

namespace interpreter {

class FlatSum {
public:
    explicit FlatSum(int64_t first) : m_term(first) { }

    // Applies `operation` with `operand`; false for a division the grammar's
    // full evaluator must judge (by zero, or the one that overflows).
    [[gnu::always_inline]] bool apply(char operation, int64_t operand)
    {
        if (operation == '*') {
            m_term = static_cast<int64_t>(static_cast<uint64_t>(m_term) * static_cast<uint64_t>(operand));
        } else if (operation == '/') {
            if (operand == 0 || (m_term == std::numeric_limits<int64_t>::min() && operand == -1))
                return false;
            m_term /= operand;
        } else {
            m_sum = with_term();
            m_adding = operation == '+';
            m_term = operand;
        }
        return true;
    }

    [[gnu::always_inline]] int64_t total() const { return static_cast<int64_t>(with_term()); }

private:
    [[gnu::always_inline]] uint64_t with_term() const { return m_adding ? m_sum + static_cast<uint64_t>(m_term) : m_sum - static_cast<uint64_t>(m_term); }

    uint64_t m_sum = 0;
    int64_t m_term;
    bool m_adding = true;
};

}
