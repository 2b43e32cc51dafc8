// SPDX-License-Identifier: GPL-3.0-or-later
// PosixTcpNetwork: TcpNetwork on non-blocking POSIX sockets.
#pragma once

#include "platform/tcp_network.h"

namespace platform {

class PosixTcpNetwork final : public TcpNetwork {
public:
    std::optional<uint32_t> resolve(std::string_view host) override;
    // Names are looked up on a thread of their own.
    std::unique_ptr<HostLookup> start_resolve(std::string_view host) override;
    base::Result<std::unique_ptr<TcpSocket>> connect(uint32_t address, uint16_t port) override;
    base::Result<std::unique_ptr<TcpListener>> listen(uint16_t port) override;
};

}
