// SPDX-License-Identifier: GPL-3.0-or-later
// PpdevPortOpener: the first parallel port through the Linux ppdev driver.
#pragma once

#include "platform/parallel_port.h"

namespace platform {

class PpdevPortOpener final : public ParallelPortOpener {
public:
    explicit PpdevPortOpener(std::string device = "/dev/parport0")
        : m_device(std::move(device))
    {
    }
    base::Result<std::unique_ptr<ParallelPort>> open_port() override;

private:
    std::string m_device;
};

}
