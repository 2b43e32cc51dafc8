// SPDX-License-Identifier: GPL-3.0-or-later
// UrlParts: how a download URL is taken apart, and how a redirect target is made whole.
#include "net/url_parts.h"

#include "interpreter/text.h"

namespace net {

namespace {

std::optional<uint16_t> port_number(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    uint32_t value = 0;
    for (char c : text) {
        if (!interpreter::is_digit(c))
            return std::nullopt;
        value = value * 10 + static_cast<uint32_t>(c - '0');
    }
    if (value == 0 || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

void remove_all(std::string& text, std::string_view piece)
{
    for (size_t found; (found = text.find(piece)) != std::string::npos;)
        text.erase(found, piece.size());
}

// The scheme and authority of a URL ("https://host:8443"), or empty when it
// has no "://".
std::string_view origin_of(std::string_view url)
{
    auto scheme_end = url.find("://");
    if (scheme_end == std::string_view::npos)
        return {};
    auto path_start = url.find('/', scheme_end + 3);
    return path_start == std::string_view::npos ? url : url.substr(0, path_start);
}

}

std::optional<UrlParts> split_url(std::string_view url)
{
    UrlParts parts;
    parts.tls = interpreter::starts_with_upper(url, "HTTPS");
    std::string rest(url);
    auto scheme_end = rest.find("://");
    if (scheme_end != std::string::npos)
        rest.erase(0, scheme_end + 3);
    auto colon = rest.find(':');
    if (colon != std::string::npos) {
        auto port_end = rest.find('/', colon + 1);
        parts.port_text = rest.substr(colon + 1, port_end == std::string::npos ? std::string::npos : port_end - colon - 1);
        remove_all(rest, ":" + parts.port_text);
    }
    auto slash = rest.find('/');
    if (slash == std::string::npos) {
        parts.host = rest;
        parts.path = "/";
    } else {
        parts.host = rest.substr(0, slash);
        parts.path = rest.substr(slash);
    }
    if (parts.host.empty())
        return std::nullopt;
    // Whatever reaches the request must not be able to end its line early.
    for (char c : parts.host + parts.path) {
        if (c == '\r' || c == '\n' || c == '\0')
            return std::nullopt;
    }
    if (parts.port_text.empty()) {
        parts.port = parts.tls ? 443 : 80;
    } else {
        auto port = port_number(parts.port_text);
        if (!port)
            return std::nullopt;
        parts.port = *port;
    }
    return parts;
}

std::string resolve_location(std::string_view current, std::string_view location)
{
    location = interpreter::trim(location);
    if (location.find("://") != std::string_view::npos)
        return std::string(location);
    auto origin = origin_of(current);
    if (origin.empty())
        return std::string(location);
    if (location.starts_with("//"))
        return std::string(current.substr(0, current.find("://") + 1)) + std::string(location);
    if (location.starts_with("/"))
        return std::string(origin) + std::string(location);
    // Relative to the current path's folder; the query and fragment of the
    // current URL are not part of it.
    auto path = current.substr(origin.size());
    path = path.substr(0, path.find_first_of("?#"));
    auto last_slash = path.rfind('/');
    std::string folder = last_slash == std::string_view::npos ? "/" : std::string(path.substr(0, last_slash + 1));
    return std::string(origin) + folder + std::string(location);
}

}
