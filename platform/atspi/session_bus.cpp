// SPDX-License-Identifier: GPL-3.0-or-later
// Finding out, without D-Bus, whether the session bus can be reached.
#include "platform/atspi/session_bus.h"

#include "base/hex_digit.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

// A value with its "%xx" escapes undone; nothing when an escape is broken.
std::optional<std::string> unescape(std::string_view value)
{
    std::string text;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '%') {
            text += value[i];
            continue;
        }
        if (i + 2 >= value.size())
            return std::nullopt;
        int high = base::hex_digit_value(value[i + 1]);
        int low = base::hex_digit_value(value[i + 2]);
        if (high < 0 || low < 0)
            return std::nullopt;
        text += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return text;
}

// A path as an address value: bytes other than the few that D-Bus leaves
// as they are become "%xx".
std::string escape(std::string_view path)
{
    constexpr char digits[] = "0123456789abcdef";
    std::string text;
    for (char c : path) {
        auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') || (byte >= '0' && byte <= '9')
            || (c != 0 && std::strchr("-_/.\\*", c))) {
            text += c;
        } else {
            text += '%';
            text += digits[byte >> 4];
            text += digits[byte & 15];
        }
    }
    return text;
}

std::optional<LocalBusSocket> parse_entry(std::string_view entry)
{
    constexpr std::string_view unix_transport = "unix:";
    if (entry.substr(0, unix_transport.size()) != unix_transport)
        return std::nullopt;
    entry.remove_prefix(unix_transport.size());
    while (!entry.empty()) {
        auto comma = entry.find(',');
        auto pair = entry.substr(0, comma);
        entry = comma == std::string_view::npos ? std::string_view() : entry.substr(comma + 1);
        auto equals = pair.find('=');
        if (equals == std::string_view::npos)
            continue;
        auto key = pair.substr(0, equals);
        if (key != "path" && key != "abstract")
            continue;
        auto value = unescape(pair.substr(equals + 1));
        // A socket path longer than sun_path can hold is none that exists.
        if (!value || value->empty() || value->size() >= sizeof(sockaddr_un::sun_path))
            return std::nullopt;
        return LocalBusSocket { *value, key == "abstract" };
    }
    return std::nullopt;
}

}

std::vector<LocalBusSocket> parse_bus_address(std::string_view address)
{
    std::vector<LocalBusSocket> sockets;
    while (!address.empty()) {
        auto semicolon = address.find(';');
        if (auto socket = parse_entry(address.substr(0, semicolon)))
            sockets.push_back(*socket);
        address = semicolon == std::string_view::npos ? std::string_view() : address.substr(semicolon + 1);
    }
    return sockets;
}

bool accepts_connection(const LocalBusSocket& socket)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    size_t offset = socket.abstract ? 1 : 0;
    if (socket.path.size() + offset >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path + offset, socket.path.data(), socket.path.size());
    auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + socket.path.size()
        + (socket.abstract ? 0 : 1));
    // Non-blocking: a bus too busy to take the connection at once is
    // counted as there (EAGAIN), never waited for.
    int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (descriptor < 0)
        return false;
    bool taken = ::connect(descriptor, reinterpret_cast<sockaddr*>(&address), length) == 0 || errno == EAGAIN
        || errno == EINPROGRESS;
    ::close(descriptor);
    return taken;
}

std::optional<std::string> reachable_session_bus()
{
    if (const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS")) {
        for (const auto& socket : parse_bus_address(address)) {
            if (accepts_connection(socket))
                return std::string(address);
        }
        return std::nullopt;
    }
    const char* runtime_folder = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime_folder || runtime_folder[0] != '/')
        return std::nullopt;
    LocalBusSocket user_bus { std::string(runtime_folder) + "/bus", false };
    if (!accepts_connection(user_bus))
        return std::nullopt;
    return "unix:path=" + escape(user_bus.path);
}

}
