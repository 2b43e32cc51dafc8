// SPDX-License-Identifier: GPL-3.0-or-later
// Text forms shared by the TCP network backends.
#include "platform/tcp_network.h"

namespace platform {

std::string format_ipv4(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." + std::to_string((address >> 8) & 255) + "."
        + std::to_string(address & 255);
}

}
