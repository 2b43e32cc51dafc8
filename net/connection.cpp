// SPDX-License-Identifier: GPL-3.0-or-later
// Connection: one TCP connection, plain or TLS, with its bounded, pumped waits.
#include "net/connection.h"

#include "interpreter/terminal_port.h"
#include "interpreter/world_port.h"
#include "platform/clock.h"

#include <algorithm>

namespace net {

Connection::Connection(std::unique_ptr<platform::TcpSocket> socket, std::unique_ptr<TlsSession> tls)
    : m_socket(std::move(socket))
    , m_tls(std::move(tls))
{
}

platform::IoResult Connection::receive(std::span<char> buffer)
{
    return m_tls ? m_tls->read(buffer) : m_socket->receive_some(buffer);
}

platform::IoResult Connection::send(std::span<const char> bytes)
{
    return m_tls ? m_tls->write(bytes) : m_socket->send_some(bytes);
}

bool Connection::send_all(std::string_view bytes, WaitContext& wait, int64_t limit_ms)
{
    WaitBudget budget(wait.clock, limit_ms);
    while (!bytes.empty()) {
        auto result = send({ bytes.data(), bytes.size() });
        if (result.status == platform::IoStatus::done) {
            bytes.remove_prefix(result.count);
            budget.restart();
            continue;
        }
        if (result.status != platform::IoStatus::would_block || budget.exhausted())
            return false;
        m_socket->wait_writable(wait.poll_timeout_us);
        budget.spent_us(std::max<int64_t>(wait.poll_timeout_us, 1000));
        wait.world.pause_ms(0);
    }
    return true;
}

bool Connection::data_ready(WaitContext& wait)
{
    if (m_tls && m_tls->has_pending())
        return true;
    bool readable = m_socket->wait_readable(wait.poll_timeout_us);
    wait.world.pause_ms(0);
    wait.terminal.key_waiting();
    return readable;
}

WaitOutcome Connection::wait_for_data(WaitContext& wait, int64_t limit_ms, bool stop_on_key)
{
    WaitBudget budget(wait.clock, limit_ms);
    for (;;) {
        if (m_tls && m_tls->has_pending())
            return WaitOutcome::ready;
        if (m_socket->wait_readable(wait.poll_timeout_us))
            return WaitOutcome::ready;
        budget.spent_us(std::max<int64_t>(wait.poll_timeout_us, 1000));
        wait.world.pause_ms(0);
        if (stop_on_key && wait.terminal.key_waiting())
            return WaitOutcome::key_waiting;
        if (budget.exhausted())
            return WaitOutcome::timed_out;
    }
}

WaitBudget::WaitBudget(platform::Clock& clock, int64_t limit_ms)
    : m_clock(clock)
    , m_limit_ms(limit_ms)
    , m_start_ms(clock.monotonic_ms())
{
}

bool WaitBudget::exhausted() const
{
    int64_t by_clock = static_cast<int64_t>(m_clock.monotonic_ms() - m_start_ms);
    return std::max(by_clock, m_spent_us / 1000) >= m_limit_ms;
}

void WaitBudget::restart()
{
    m_start_ms = m_clock.monotonic_ms();
    m_spent_us = 0;
}

}
