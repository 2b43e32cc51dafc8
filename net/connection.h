// SPDX-License-Identifier: GPL-3.0-or-later
// Connection: one TCP connection, plain or TLS, with its bounded, pumped waits.
#pragma once

#include "net/tls_session.h"
#include "platform/tcp_network.h"

#include <memory>
#include <string_view>

namespace interpreter {
class TerminalPort;
class WorldPort;
}
namespace platform {
class Clock;
}

namespace net {

// What a wait of the network layer needs: the terminal whose keys end a
// wait, the world whose pauses pump events between polls, the real clock
// that bounds the wait, and the poll slice.
struct WaitContext {
    interpreter::TerminalPort& terminal;
    interpreter::WorldPort& world;
    platform::Clock& clock;
    int64_t poll_timeout_us = 20000;
};

enum class WaitOutcome { ready, timed_out, key_waiting };

// Every send and receive of a connection goes through here, so that callers
// never know whether it is encrypted.
class Connection {
public:
    Connection(std::unique_ptr<platform::TcpSocket> socket, std::unique_ptr<TlsSession> tls);
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    platform::IoResult receive(std::span<char> buffer);
    platform::IoResult send(std::span<const char> bytes);

    // Sends every byte, waiting while the socket is full; false when the
    // connection failed or no byte could move for `limit_ms`.
    bool send_all(std::string_view bytes, WaitContext& wait, int64_t limit_ms);

    // One poll: true when the TLS layer holds decrypted bytes or the socket
    // becomes readable within the poll timeout. The host's events are pumped
    // afterwards, as every wait of the runtime does.
    bool data_ready(WaitContext& wait);

    // Waits until a receive may find data, the limit passes, or (when
    // `stop_on_key`) a key is waiting for the caller.
    WaitOutcome wait_for_data(WaitContext& wait, int64_t limit_ms, bool stop_on_key);

    bool is_tls() const { return m_tls != nullptr; }
    TlsSession* tls() { return m_tls.get(); }
    platform::TcpSocket& socket() { return *m_socket; }

private:
    std::unique_ptr<platform::TcpSocket> m_socket;
    std::unique_ptr<TlsSession> m_tls;
};

// Measures a bounded wait: the time the waits themselves took is counted as
// well as the clock's, so that a clock which does not move (a fake one) or a
// poll that returns at once (an in-memory peer) still ends the wait.
class WaitBudget {
public:
    WaitBudget(platform::Clock& clock, int64_t limit_ms);
    void spent_us(int64_t microseconds) { m_spent_us += microseconds; }
    bool exhausted() const;
    void restart();

private:
    platform::Clock& m_clock;
    int64_t m_limit_ms;
    uint64_t m_start_ms;
    int64_t m_spent_us = 0;
};

}
