// SPDX-License-Identifier: GPL-3.0-or-later
// MemoryTcpNetwork: a TcpNetwork inside the process, for tests without sockets.
#include "tests/support/memory_tcp_network.h"

#include <algorithm>
#include <deque>
#include <string>

namespace platform {

namespace {

constexpr uint32_t loopback_address = 0x7F000001;

// One direction of a connection.
struct Pipe {
    std::deque<char> bytes;
    bool writer_closed = false;
    bool reader_closed = false;
};

class MemoryTcpSocket final : public TcpSocket {
public:
    MemoryTcpSocket(std::shared_ptr<Pipe> incoming, std::shared_ptr<Pipe> outgoing, uint32_t local, uint32_t peer)
        : m_incoming(std::move(incoming))
        , m_outgoing(std::move(outgoing))
        , m_local(local)
        , m_peer(peer)
    {
    }
    // A socket without a peer: a connect that was refused.
    MemoryTcpSocket() = default;

    ~MemoryTcpSocket() override
    {
        if (m_outgoing)
            m_outgoing->writer_closed = true;
        if (m_incoming)
            m_incoming->reader_closed = true;
    }
    MemoryTcpSocket(const MemoryTcpSocket&) = delete;
    MemoryTcpSocket& operator=(const MemoryTcpSocket&) = delete;

    IoResult send_some(std::span<const char> bytes) override
    {
        if (!m_outgoing)
            return { IoStatus::failed, 0 };
        if (m_outgoing->reader_closed)
            return { IoStatus::closed, 0 };
        m_outgoing->bytes.insert(m_outgoing->bytes.end(), bytes.begin(), bytes.end());
        return { IoStatus::done, bytes.size() };
    }

    IoResult receive_some(std::span<char> buffer) override
    {
        if (!m_incoming)
            return { IoStatus::failed, 0 };
        if (m_incoming->bytes.empty())
            return { m_incoming->writer_closed ? IoStatus::closed : IoStatus::would_block, 0 };
        size_t count = std::min(buffer.size(), m_incoming->bytes.size());
        std::copy_n(m_incoming->bytes.begin(), count, buffer.begin());
        m_incoming->bytes.erase(m_incoming->bytes.begin(), m_incoming->bytes.begin() + static_cast<std::ptrdiff_t>(count));
        return { IoStatus::done, count };
    }

    bool wait_readable(int64_t) override { return !m_incoming || !m_incoming->bytes.empty() || m_incoming->writer_closed; }
    bool wait_writable(int64_t) override { return true; }
    ConnectState wait_connected(int64_t) override { return m_outgoing ? ConnectState::connected : ConnectState::failed; }
    uint32_t local_address() const override { return m_local; }
    uint32_t peer_address() const override { return m_peer; }

private:
    std::shared_ptr<Pipe> m_incoming;
    std::shared_ptr<Pipe> m_outgoing;
    uint32_t m_local = 0;
    uint32_t m_peer = 0;
};

}

struct MemoryTcpNetwork::Backlog {
    std::deque<std::unique_ptr<TcpSocket>> waiting;
};

namespace {

class MemoryTcpListener final : public TcpListener {
public:
    MemoryTcpListener(std::shared_ptr<MemoryTcpNetwork::Backlog> backlog, uint16_t port)
        : m_backlog(std::move(backlog))
        , m_port(port)
    {
    }

    base::Result<std::unique_ptr<TcpSocket>> accept(int64_t) override
    {
        if (m_backlog->waiting.empty())
            return std::unique_ptr<TcpSocket>();
        auto socket = std::move(m_backlog->waiting.front());
        m_backlog->waiting.pop_front();
        return socket;
    }
    uint16_t port() const override { return m_port; }

private:
    std::shared_ptr<MemoryTcpNetwork::Backlog> m_backlog;
    uint16_t m_port;
};

}

MemoryTcpNetwork::MemoryTcpNetwork() = default;
MemoryTcpNetwork::~MemoryTcpNetwork() = default;

std::optional<uint32_t> MemoryTcpNetwork::resolve(std::string_view host)
{
    if (host == "localhost")
        return loopback_address;
    uint32_t address = 0;
    int parts = 0;
    size_t position = 0;
    while (parts < 4) {
        size_t start = position;
        uint32_t part = 0;
        while (position < host.size() && host[position] >= '0' && host[position] <= '9' && position - start < 3)
            part = part * 10 + static_cast<uint32_t>(host[position++] - '0');
        if (position == start || part > 255)
            return std::nullopt;
        address = (address << 8) | part;
        ++parts;
        if (parts < 4 && (position >= host.size() || host[position++] != '.'))
            return std::nullopt;
    }
    if (position != host.size())
        return std::nullopt;
    return address;
}

base::Result<std::unique_ptr<TcpSocket>> MemoryTcpNetwork::connect(uint32_t address, uint16_t port)
{
    auto found = m_listeners.find(port);
    std::shared_ptr<Backlog> backlog = found == m_listeners.end() ? nullptr : found->second.lock();
    if (!backlog)
        return std::unique_ptr<TcpSocket>(std::make_unique<MemoryTcpSocket>());
    auto to_server = std::make_shared<Pipe>();
    auto to_client = std::make_shared<Pipe>();
    backlog->waiting.push_back(std::make_unique<MemoryTcpSocket>(to_server, to_client, address, loopback_address));
    return std::unique_ptr<TcpSocket>(std::make_unique<MemoryTcpSocket>(to_client, to_server, loopback_address, address));
}

base::Result<std::unique_ptr<TcpListener>> MemoryTcpNetwork::listen(uint16_t port)
{
    if (port == 0)
        port = m_next_port++;
    auto found = m_listeners.find(port);
    if (found != m_listeners.end() && !found->second.expired())
        return base::Error { "listen: port " + std::to_string(port) + " is in use" };
    auto backlog = std::make_shared<Backlog>();
    m_listeners[port] = backlog;
    return std::unique_ptr<TcpListener>(std::make_unique<MemoryTcpListener>(backlog, port));
}

}
