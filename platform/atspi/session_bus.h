// SPDX-License-Identifier: GPL-3.0-or-later
// Finding out, without D-Bus, whether the session bus can be reached.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// One place where a D-Bus server listens on a local socket.
struct LocalBusSocket {
    std::string path;
    bool abstract = false;
    bool operator==(const LocalBusSocket&) const = default;
};

// The local sockets of a D-Bus address list ("unix:path=/run/user/1000/bus",
// "unix:abstract=/tmp/dbus-x,guid=...;..."), with the %-escapes undone.
// Other transports are left out: the bus would be reached over the network,
// or a daemon started, which an accessibility query must not do.
std::vector<LocalBusSocket> parse_bus_address(std::string_view address);

// The session bus's address when one of its sockets takes a connection:
// $DBUS_SESSION_BUS_ADDRESS, or the per-user bus in $XDG_RUNTIME_DIR that
// D-Bus falls back to. Nothing when no bus answers: the accessibility
// library ends the process when it finds none.
std::optional<std::string> reachable_session_bus();

// Whether a connection to the socket is taken now.
bool accepts_connection(const LocalBusSocket& socket);

}
