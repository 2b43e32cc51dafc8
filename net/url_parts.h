// SPDX-License-Identifier: GPL-3.0-or-later
// UrlParts: how a download URL is taken apart, and how a redirect target is made whole.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace net {

struct UrlParts {
    bool tls = false;
    std::string host;
    std::string port_text; // as written, empty when the URL has none
    uint16_t port = 80;
    std::string path; // sent as written; "/" when the URL has none
};

// A URL whose scheme starts with "HTTPS" (any case) is TLS, any other plain.
// Everything up to the first "://" is dropped; the port is the text after the
// first ":" up to the next "/", and every ":" plus that text is taken out;
// the host runs up to the first "/", the path from it. Nothing when the host
// is empty or the port is not a number from 1 to 65535.
std::optional<UrlParts> split_url(std::string_view url);

// The URL a "Location" value names, seen from `current`: absolute URLs as
// they are, "//host/..." with the current scheme, "/path" on the current host
// and port, anything else beside the current path's last "/".
std::string resolve_location(std::string_view current, std::string_view location);

}
