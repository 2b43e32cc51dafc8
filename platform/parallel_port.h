// SPDX-License-Identifier: GPL-3.0-or-later
// ParallelPort: the data, control and status registers of a printer port.
#pragma once

#include "base/result.h"

#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class ParallelPort {
public:
    virtual ~ParallelPort() = default;
    virtual void write_data(uint8_t value) = 0;
    virtual void write_control(uint8_t value) = 0;
    virtual uint8_t read_status() = 0;
    // Lets the lines settle after a write (about a millisecond).
    virtual void settle() = 0;
};

// Opens a port on first use; the sensor asks again on every scan while no
// port could be opened.
class ParallelPortOpener {
public:
    virtual ~ParallelPortOpener() = default;
    virtual base::Result<std::unique_ptr<ParallelPort>> open_port() = 0;
};

}
