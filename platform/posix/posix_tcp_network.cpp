// SPDX-License-Identifier: GPL-3.0-or-later
// PosixTcpNetwork: TcpNetwork on non-blocking POSIX sockets.
#include "platform/posix/posix_tcp_network.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <system_error>
#include <unistd.h>

namespace platform {

namespace {

base::Error system_error(const char* what)
{
    return base::Error { std::string(what) + ": " + std::strerror(errno) };
}

bool make_non_blocking(int fd)
{
    int flags = fcntl(fd, F_GETFL, 0);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// Waits for `events` on the descriptor; a negative timeout is never used,
// so every wait here is bounded.
short wait_for(int fd, short events, int64_t timeout_us)
{
    pollfd entry { fd, events, 0 };
    if (timeout_us < 0)
        timeout_us = 0;
    timespec limit { static_cast<time_t>(timeout_us / 1000000), static_cast<long>((timeout_us % 1000000) * 1000) };
    int result;
    do
        result = ppoll(&entry, 1, &limit, nullptr);
    while (result < 0 && errno == EINTR);
    return result > 0 ? entry.revents : 0;
}

uint32_t address_of(int fd, bool peer)
{
    sockaddr_in address {};
    socklen_t length = sizeof address;
    int result = peer ? getpeername(fd, reinterpret_cast<sockaddr*>(&address), &length)
                      : getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    if (result != 0 || address.sin_family != AF_INET)
        return 0;
    return ntohl(address.sin_addr.s_addr);
}

class PosixTcpSocket final : public TcpSocket {
public:
    explicit PosixTcpSocket(int fd)
        : m_fd(fd)
    {
    }
    ~PosixTcpSocket() override { close(m_fd); }
    PosixTcpSocket(const PosixTcpSocket&) = delete;
    PosixTcpSocket& operator=(const PosixTcpSocket&) = delete;

    IoResult send_some(std::span<const char> bytes) override
    {
        if (bytes.empty())
            return { IoStatus::done, 0 };
        ssize_t sent;
        do
            sent = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
        while (sent < 0 && errno == EINTR);
        if (sent > 0)
            return { IoStatus::done, static_cast<size_t>(sent) };
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return { IoStatus::would_block, 0 };
        if (sent < 0 && (errno == EPIPE || errno == ECONNRESET))
            return { IoStatus::closed, 0 };
        return { IoStatus::failed, 0 };
    }

    IoResult receive_some(std::span<char> buffer) override
    {
        if (buffer.empty())
            return { IoStatus::done, 0 };
        ssize_t received;
        do
            received = ::recv(m_fd, buffer.data(), buffer.size(), 0);
        while (received < 0 && errno == EINTR);
        if (received > 0)
            return { IoStatus::done, static_cast<size_t>(received) };
        if (received == 0)
            return { IoStatus::closed, 0 };
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return { IoStatus::would_block, 0 };
        if (errno == ECONNRESET)
            return { IoStatus::closed, 0 };
        return { IoStatus::failed, 0 };
    }

    bool wait_readable(int64_t timeout_us) override { return wait_for(m_fd, POLLIN, timeout_us) != 0; }
    bool wait_writable(int64_t timeout_us) override { return wait_for(m_fd, POLLOUT, timeout_us) != 0; }

    ConnectState wait_connected(int64_t timeout_us) override
    {
        if (m_connected)
            return ConnectState::connected;
        short events = wait_for(m_fd, POLLOUT, timeout_us);
        if (events == 0)
            return ConnectState::pending;
        int error = 0;
        socklen_t length = sizeof error;
        if (getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
            return ConnectState::failed;
        m_connected = true;
        return ConnectState::connected;
    }

    uint32_t local_address() const override { return address_of(m_fd, false); }
    uint32_t peer_address() const override { return address_of(m_fd, true); }

    void mark_connected() { m_connected = true; }

private:
    int m_fd;
    bool m_connected = false;
};

class PosixTcpListener final : public TcpListener {
public:
    PosixTcpListener(int fd, uint16_t port)
        : m_fd(fd)
        , m_port(port)
    {
    }
    ~PosixTcpListener() override { close(m_fd); }
    PosixTcpListener(const PosixTcpListener&) = delete;
    PosixTcpListener& operator=(const PosixTcpListener&) = delete;

    base::Result<std::unique_ptr<TcpSocket>> accept(int64_t timeout_us) override
    {
        if (wait_for(m_fd, POLLIN, timeout_us) == 0)
            return std::unique_ptr<TcpSocket>();
        int fd = accept4(m_fd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0) {
            // A client that gave up between the poll and the accept is not
            // an error of the listener.
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == ECONNABORTED || errno == EINTR)
                return std::unique_ptr<TcpSocket>();
            return system_error("accept");
        }
        int one = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        auto socket = std::make_unique<PosixTcpSocket>(fd);
        socket->mark_connected();
        return std::unique_ptr<TcpSocket>(std::move(socket));
    }

    uint16_t port() const override { return m_port; }

private:
    int m_fd;
    uint16_t m_port;
};

}

namespace {

bool needs_name_lookup(const std::string& host)
{
    return !host.empty() && !(host[0] >= '0' && host[0] <= '9') && host.find('\0') == std::string::npos;
}

std::optional<uint32_t> look_name_up(const std::string& host)
{
    addrinfo hints {};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found)
        return std::nullopt;
    uint32_t address = ntohl(reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return address;
}

// The lookup runs on a detached thread that shares only this state, so a
// caller that gives up (its time ran out, the program ends) leaves nothing
// behind that the thread could touch.
struct LookupState {
    std::mutex mutex;
    std::condition_variable done_signal;
    bool done = false;
    std::optional<uint32_t> address;
};

class ThreadLookup final : public HostLookup {
public:
    explicit ThreadLookup(std::string host)
        : m_state(std::make_shared<LookupState>())
    {
        std::thread([state = m_state, host = std::move(host)] {
            auto address = look_name_up(host);
            std::lock_guard lock(state->mutex);
            state->address = address;
            state->done = true;
            state->done_signal.notify_all();
        }).detach();
    }

    std::optional<std::optional<uint32_t>> wait(int64_t timeout_us) override
    {
        std::unique_lock lock(m_state->mutex);
        if (!m_state->done_signal.wait_for(lock, std::chrono::microseconds(std::max<int64_t>(timeout_us, 0)),
                [this] { return m_state->done; }))
            return std::nullopt;
        return m_state->address;
    }

private:
    std::shared_ptr<LookupState> m_state;
};

}

std::optional<uint32_t> PosixTcpNetwork::resolve(std::string_view host)
{
    std::string text(host);
    if (text.empty() || text.find('\0') != std::string::npos)
        return std::nullopt;
    if (text[0] >= '0' && text[0] <= '9') {
        in_addr address {};
        if (inet_aton(text.c_str(), &address) == 0)
            return std::nullopt;
        return ntohl(address.s_addr);
    }
    return look_name_up(text);
}

std::unique_ptr<HostLookup> PosixTcpNetwork::start_resolve(std::string_view host)
{
    std::string text(host);
    if (!needs_name_lookup(text))
        return answered_lookup(resolve(text));
    try {
        return std::make_unique<ThreadLookup>(text);
    } catch (const std::system_error&) {
        // No thread to spare: look the name up here, blocking.
        return answered_lookup(look_name_up(text));
    }
}

base::Result<std::unique_ptr<TcpSocket>> PosixTcpNetwork::connect(uint32_t address, uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return system_error("socket");
    auto socket = std::make_unique<PosixTcpSocket>(fd);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(port);
    target.sin_addr.s_addr = htonl(address);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&target), sizeof target) == 0)
        socket->mark_connected();
    else if (errno != EINPROGRESS)
        return system_error("connect");
    return std::unique_ptr<TcpSocket>(std::move(socket));
}

base::Result<std::unique_ptr<TcpListener>> PosixTcpNetwork::listen(uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
    if (fd < 0)
        return system_error("socket");
    // A server script that runs again at once must be able to listen on the
    // port its previous connection still holds in TIME_WAIT.
    int one = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_port = htons(port);
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0 || ::listen(fd, 3) != 0 || !make_non_blocking(fd)) {
        auto error = system_error("listen");
        close(fd);
        return error;
    }
    sockaddr_in bound {};
    socklen_t length = sizeof bound;
    getsockname(fd, reinterpret_cast<sockaddr*>(&bound), &length);
    return std::unique_ptr<TcpListener>(std::make_unique<PosixTcpListener>(fd, ntohs(bound.sin_port)));
}

}
