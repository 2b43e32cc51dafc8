// SPDX-License-Identifier: GPL-3.0-or-later
// Random: the generator behind "RAND", with a fixed initial seed.
#pragma once

#include <cstdint>

namespace interpreter {

// A 32-bit linear congruential generator. Every program start gives the same
// sequence until RANDOMIZA reseeds it from the clock.
class Random {
public:
    void seed(uint32_t seed) { m_state = seed; }

    // A whole number from 0 to limit - 1; 0 when the limit is not positive.
    int32_t next_below(int32_t limit)
    {
        m_state = m_state * 134775813u + 1u;
        if (limit <= 0)
            return 0;
        return static_cast<int32_t>((uint64_t(m_state) * uint64_t(limit)) >> 32);
    }

private:
    uint32_t m_state = 0;
};

}
