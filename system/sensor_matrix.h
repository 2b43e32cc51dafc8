// SPDX-License-Identifier: GPL-3.0-or-later
// SensorMatrix: 32 switches in 8 rows of 4, read through a printer port.
#pragma once

#include "platform/parallel_port.h"

#include <array>
#include <memory>

namespace sys {

class SensorMatrix {
public:
    explicit SensorMatrix(platform::ParallelPortOpener& opener)
        : m_opener(opener)
    {
    }

    // Opens the port and reads its rest value on first use; false while
    // there is no port.
    bool open();
    // Reads every row; without a port the flags keep what the last scan found.
    void scan();
    // The number 1..32 of the first closed switch, or 0.
    int first_active() const;

private:
    platform::ParallelPortOpener& m_opener;
    std::unique_ptr<platform::ParallelPort> m_port;
    // The status byte with no row selected, against which rows are compared.
    uint8_t m_rest = 0;
    std::array<bool, 32> m_active {};
};

}
