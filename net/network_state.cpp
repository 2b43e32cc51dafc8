// SPDX-License-Identifier: GPL-3.0-or-later
// NetworkState: what the network commands keep between statements.
#include "net/network_state.h"

#include "interpreter/runtime.h"
#include "platform/clock.h"

#include <cassert>

namespace net {

NetworkState::NetworkState(platform::TcpNetwork& network, platform::Clock& clock)
    : m_network(network)
    , m_clock(clock)
{
}

NetworkOptions NetworkState::options(const interpreter::Runtime& runtime) const
{
    if (m_has_fixed_options)
        return m_fixed_options;
    return read_network_options(*runtime.subsystems.settings);
}

std::unique_ptr<Connection> NetworkState::open_connection(interpreter::Runtime& runtime, std::string_view host, uint16_t port, bool tls)
{
    auto current = options(runtime);
    WaitContext wait { runtime.terminal, runtime.world, m_clock, current.poll_timeout_us };
    WaitBudget budget(m_clock, current.peer_limit_ms);
    auto lookup = m_network.start_resolve(host);
    std::optional<std::optional<uint32_t>> answer;
    // Slices of at least 10 ms: the lookup has no socket to poll, and a
    // zero timeout from the settings would make this loop spin.
    int64_t lookup_slice_us = std::max<int64_t>(wait.poll_timeout_us, 10000);
    while (!(answer = lookup->wait(lookup_slice_us))) {
        budget.spent_us(lookup_slice_us);
        runtime.world.pause_ms(0);
        if (budget.exhausted())
            return nullptr;
    }
    auto address = *answer;
    if (!address)
        return nullptr;
    auto socket = m_network.connect(*address, port);
    if (!socket || !*socket)
        return nullptr;
    budget.restart();
    for (;;) {
        auto state = (*socket)->wait_connected(wait.poll_timeout_us);
        if (state == platform::ConnectState::connected)
            break;
        if (state == platform::ConnectState::failed)
            return nullptr;
        budget.spent_us(std::max<int64_t>(wait.poll_timeout_us, 1000));
        runtime.world.pause_ms(0);
        if (budget.exhausted())
            return nullptr;
    }
    std::unique_ptr<TlsSession> session;
    if (tls) {
        auto created = TlsSession::create(**socket, host, current.verify_certificates);
        if (!created)
            return nullptr;
        session = std::move(*created);
        budget.restart();
        for (;;) {
            auto step = session->handshake();
            if (step == TlsSession::Step::done)
                break;
            if (step == TlsSession::Step::failed)
                return nullptr;
            if (step == TlsSession::Step::want_read)
                (*socket)->wait_readable(wait.poll_timeout_us);
            else
                (*socket)->wait_writable(wait.poll_timeout_us);
            budget.spent_us(std::max<int64_t>(wait.poll_timeout_us, 1000));
            runtime.world.pause_ms(0);
            if (budget.exhausted())
                return nullptr;
        }
    }
    return std::make_unique<Connection>(std::move(*socket), std::move(session));
}

NetworkState& network_state(interpreter::Runtime& runtime)
{
    assert(runtime.subsystems.network && "the network state is not set");
    return *runtime.subsystems.network;
}

}
