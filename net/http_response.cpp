// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of an HTTP response head: the status line and the headers a download uses.
#include "net/http_response.h"

#include "interpreter/text.h"

namespace net {

namespace {

constexpr int64_t max_content_length = int64_t(1) << 62;

std::string_view value_from(std::string_view line, size_t first_character)
{
    return interpreter::trim(line.size() > first_character ? line.substr(first_character) : std::string_view {});
}

std::optional<int64_t> parse_length(std::string_view text)
{
    if (text.empty())
        return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        if (!interpreter::is_digit(c))
            return std::nullopt;
        // Checked before the step, so that a long digit run cannot
        // overflow on its way past the limit.
        if (value > (max_content_length - (c - '0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

}

std::optional<int> parse_status_code(std::string_view status_line)
{
    auto blank = status_line.find(' ');
    if (blank == std::string_view::npos || status_line.size() < blank + 4)
        return std::nullopt;
    auto code = status_line.substr(blank + 1, 3);
    int value = 0;
    for (char c : code) {
        if (!interpreter::is_digit(c))
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

HeaderLine classify_header(std::string_view line)
{
    HeaderLine header;
    if (interpreter::starts_with_upper(line, "LOCATION")) {
        header.kind = HeaderKind::location;
        header.value = value_from(line, 10);
    } else if (interpreter::starts_with_upper(line, "CONTENT-TYPE")) {
        header.kind = HeaderKind::content_type;
        header.value = value_from(line, 13);
    } else if (interpreter::starts_with_upper(line, "CONTENT-LENGTH")) {
        header.kind = HeaderKind::content_length;
        header.value = value_from(line, 15);
        header.length = parse_length(header.value);
    }
    return header;
}

}
