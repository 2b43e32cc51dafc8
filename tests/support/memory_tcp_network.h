// SPDX-License-Identifier: GPL-3.0-or-later
// MemoryTcpNetwork: a TcpNetwork inside the process, for tests without sockets.
#pragma once

#include "platform/tcp_network.h"

#include <map>
#include <memory>

namespace platform {

// Connections exist only between a listener and a connect of the same
// network object. Every host that resolves ("localhost" and dotted
// addresses) reaches the listeners; nothing ever waits, because in one
// thread no byte can arrive while a caller waits for it.
class MemoryTcpNetwork final : public TcpNetwork {
public:
    struct Backlog;

    MemoryTcpNetwork();
    ~MemoryTcpNetwork() override;

    std::optional<uint32_t> resolve(std::string_view host) override;
    base::Result<std::unique_ptr<TcpSocket>> connect(uint32_t address, uint16_t port) override;
    base::Result<std::unique_ptr<TcpListener>> listen(uint16_t port) override;

private:
    std::map<uint16_t, std::weak_ptr<Backlog>> m_listeners;
    uint16_t m_next_port = 40000;
};

}
