// SPDX-License-Identifier: GPL-3.0-or-later
// NetworkOptions: the settings the network layer reads, with their defaults.
#include "net/network_options.h"

#include "interpreter/text.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"

namespace net {

namespace {

// A peer may be slow, but a limit of more than an hour would look like a hang.
constexpr int max_peer_limit_seconds = 3600;

}

NetworkOptions read_network_options(const settings::Settings& settings)
{
    NetworkOptions options;
    options.poll_timeout_us = settings::network_timeout_microseconds(settings);
    // The values are kept in named strings: trim() returns a view into them.
    std::string verify_text = settings.read_setting("LUMERA", "VERIFICA_SSL");
    auto verify = interpreter::trim(verify_text);
    options.verify_certificates = verify.empty() || interpreter::upper_byte(verify[0]) != 'N';
    std::string limit_text = settings.read_setting("LUMERA", "ESPERA_REDE");
    auto limit = settings::Settings::whole_number(interpreter::trim(limit_text));
    if (limit && *limit >= 1 && *limit <= max_peer_limit_seconds)
        options.peer_limit_ms = int64_t(*limit) * 1000;
    return options;
}

}
