// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzzes what a download makes of a server's words: status lines, headers and redirect targets.
#include "net/http_response.h"
#include "net/url_parts.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string_view input(reinterpret_cast<const char*>(data), size);
    auto status = net::parse_status_code(input);
    if (status && (*status < 0 || *status > 999))
        std::abort();
    auto header = net::classify_header(input);
    if (header.length && *header.length < 0)
        std::abort();
    if (header.value.size() > input.size())
        std::abort();
    // Every Location a server may send is resolved and split like a URL.
    auto target = net::resolve_location("http://exemplo.com.br:8080/a/b.txt", input);
    if (auto parts = net::split_url(target)) {
        if (parts->host.empty() || parts->path.empty() || parts->port == 0)
            std::abort();
        for (char c : parts->host + parts->path) {
            if (c == '\r' || c == '\n')
                std::abort();
        }
    }
    (void)net::split_url(input);
    return 0;
}
