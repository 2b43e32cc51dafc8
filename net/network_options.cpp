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

NetworkOptions read_network_options(const settings::Settings* settings)
{
    NetworkOptions options;
    if (!settings)
        return options;
    options.poll_timeout_us = settings::network_timeout_microseconds(*settings);
    auto verify = interpreter::trim(settings->read_setting("LUMERA", "VERIFICA_SSL"));
    options.verify_certificates = verify.empty() || interpreter::upper_byte(verify[0]) != 'N';
    auto limit = settings::Settings::whole_number(interpreter::trim(settings->read_setting("LUMERA", "ESPERA_REDE")));
    if (limit && *limit >= 1 && *limit <= max_peer_limit_seconds)
        options.peer_limit_ms = int64_t(*limit) * 1000;
    return options;
}

}
