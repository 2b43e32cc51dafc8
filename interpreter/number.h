// SPDX-License-Identifier: GPL-3.0-or-later
// Reading text as a 32-bit number and writing numbers as text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace interpreter {

// Leading spaces, an optional sign, then decimal digits, or hexadecimal digits
// introduced by "$", "x", "X", "0x" or "0X". Anything else, including trailing
// spaces, an empty text or a value outside the signed 32-bit range, is not a
// number.
std::optional<int32_t> parse_number_general(std::string_view text);

// Numbers are converted several times in every statement, and nearly all of
// them are short runs of plain digits: one to nine digits can only be a
// decimal number inside the range, so they need neither the sign and prefix
// rules nor a range check. Anything else takes the general rule above.
inline std::optional<int32_t> parse_number(std::string_view text)
{
    if (text.size() - 1 >= 9)
        return parse_number_general(text);
    uint32_t value = 0;
    for (char c : text) {
        unsigned digit = static_cast<unsigned char>(c) - unsigned('0');
        if (digit > 9)
            return parse_number_general(text);
        value = value * 10 + digit;
    }
    return static_cast<int32_t>(value);
}

std::string format_number(int64_t value);
void append_number(std::string& out, int64_t value);

}
