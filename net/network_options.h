// SPDX-License-Identifier: GPL-3.0-or-later
// NetworkOptions: the settings the network layer reads, with their defaults.
#pragma once

#include <cstdint>

namespace settings {
class Settings;
}

namespace net {

struct NetworkOptions {
    // TIMEOUT_REDE: how long one "data ready" poll waits, in microseconds.
    int64_t poll_timeout_us = 20000;
    // VERIFICA_SSL: a value beginning with "N" turns certificate checks off,
    // for a user who must reach a server with a self-signed certificate.
    bool verify_certificates = true;
    // ESPERA_REDE, in seconds: the longest a connect, a TLS handshake or an
    // HTTP download waits for a peer that has stopped answering.
    int64_t peer_limit_ms = 30000;
};

// The options as the settings hold them now; the defaults for what they
// leave out.
NetworkOptions read_network_options(const settings::Settings& settings);

}
