// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of an HTTP response head: the status line and the headers a download uses.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace net {

// The three characters after the status line's first blank, as a number;
// nothing when they are not three digits.
std::optional<int> parse_status_code(std::string_view status_line);

enum class HeaderKind { location, content_type, content_length, other };

struct HeaderLine {
    HeaderKind kind = HeaderKind::other;
    // The value: for "LOCATION" from the line's 11th character, for
    // "CONTENT-TYPE" from its 14th, for "CONTENT-LENGTH" from its 16th, trimmed.
    std::string_view value;
    // CONTENT-LENGTH only: the length, or nothing when the value is not a
    // whole number from 0 to 2^62.
    std::optional<int64_t> length;
};

// Names are recognised on the upper-cased start of the line.
HeaderLine classify_header(std::string_view line);

}
