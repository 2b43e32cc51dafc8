// SPDX-License-Identifier: GPL-3.0-or-later
// NetworkState: what the network commands keep between statements.
#pragma once

#include "net/connection.h"
#include "net/network_options.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace audio {
class SoundOutput;
}
namespace interpreter {
struct Runtime;
}

namespace net {

// Owned by app/ for the whole run and reached through the runtime.
class NetworkState {
public:
    // `clock` must be the real clock: peers live in real time even when a
    // fast run skips the script's own pauses.
    NetworkState(platform::TcpNetwork& network, platform::Clock& clock);

    platform::TcpNetwork& network() { return m_network; }
    platform::Clock& clock() { return m_clock; }

    // The options are read again at every connection, as the settings file
    // may change while the program runs.
    NetworkOptions options(const interpreter::Runtime& runtime) const;
    // Tests that run without settings set the options here.
    void set_fixed_options(const NetworkOptions& options) { m_fixed_options = options; m_has_fixed_options = true; }

    // Opens a connection, plain or TLS, within the options' peer limit,
    // pumping the program's events while it waits. Nothing when the host is
    // unknown, the peer refuses or does not answer in time, or the TLS
    // handshake (and with it the certificate check) fails.
    std::unique_ptr<Connection> open_connection(interpreter::Runtime& runtime, std::string_view host, uint16_t port, bool tls);

    // CONECTA's "SSL ": once set, every CONECTA opens TLS until a network
    // channel is closed.
    bool tls_for_connect = false;
    // The last CONECTA's host and port text, for ATIVASSL.
    std::string last_host;
    std::string last_port;
    // INTERNET INICIA and TERMINA: kept for scripts that test them; the
    // sockets of this system need no library start.
    bool library_started = false;

    // Where the download's progress click is played; none in tests.
    audio::SoundOutput* sound = nullptr;

private:
    platform::TcpNetwork& m_network;
    platform::Clock& m_clock;
    NetworkOptions m_fixed_options;
    bool m_has_fixed_options = false;
};

// The runtime's network state; asserts that app/ has set it.
NetworkState& network_state(interpreter::Runtime& runtime);

}
