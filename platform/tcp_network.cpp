// SPDX-License-Identifier: GPL-3.0-or-later
// Text forms shared by the TCP network backends.
#include "platform/tcp_network.h"

namespace platform {

namespace {

class ReadyLookup final : public HostLookup {
public:
    explicit ReadyLookup(std::optional<uint32_t> address)
        : m_address(address)
    {
    }
    std::optional<std::optional<uint32_t>> wait(int64_t) override { return m_address; }

private:
    std::optional<uint32_t> m_address;
};

}

std::unique_ptr<HostLookup> answered_lookup(std::optional<uint32_t> address)
{
    return std::make_unique<ReadyLookup>(address);
}

std::unique_ptr<HostLookup> TcpNetwork::start_resolve(std::string_view host)
{
    return answered_lookup(resolve(host));
}

std::string format_ipv4(uint32_t address)
{
    return std::to_string(address >> 24) + "." + std::to_string((address >> 16) & 255) + "." + std::to_string((address >> 8) & 255) + "."
        + std::to_string(address & 255);
}

}
