// SPDX-License-Identifier: GPL-3.0-or-later
// The quoted-printable style escape of texts: "=" and two hexadecimal digits per byte.
#include "encoding/quoted_printable.h"

#include "base/hex_digit.h"

#include <cstdint>

namespace encoding {

namespace {

constexpr std::string_view hex_digits = "0123456789ABCDEF";

}

std::string add_quoted(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        auto byte = static_cast<uint8_t>(c);
        if (byte < 32 || byte == '=' || byte >= 127) {
            out += '=';
            out += hex_digits[byte >> 4];
            out += hex_digits[byte & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::string remove_quoted(std::string_view text)
{
    if (!text.empty() && text.back() == '=')
        text.remove_suffix(1);
    std::string out;
    out.reserve(text.size());
    for (size_t index = 0; index < text.size(); ++index) {
        if (text[index] == '=' && index + 2 < text.size()) {
            int high = base::hex_digit_value(text[index + 1]);
            int low = base::hex_digit_value(text[index + 2]);
            if (high >= 0 && low >= 0) {
                out += static_cast<char>(high * 16 + low);
                index += 2;
                continue;
            }
        }
        out += text[index];
    }
    return out;
}

}
