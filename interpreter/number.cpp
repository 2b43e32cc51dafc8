// SPDX-License-Identifier: GPL-3.0-or-later
// Reading text as a 32-bit number and writing numbers as text.
#include "interpreter/number.h"

#include <charconv>

namespace interpreter {

namespace {

int hex_digit_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

}

std::optional<int32_t> parse_number(std::string_view text)
{
    size_t index = 0;
    while (index < text.size() && text[index] == ' ')
        ++index;
    bool negative = false;
    if (index < text.size() && (text[index] == '-' || text[index] == '+')) {
        negative = text[index] == '-';
        ++index;
    }
    int base = 10;
    if (index < text.size() && (text[index] == '$' || text[index] == 'x' || text[index] == 'X')) {
        base = 16;
        ++index;
    } else if (index + 1 < text.size() && text[index] == '0' && (text[index + 1] == 'x' || text[index + 1] == 'X')) {
        base = 16;
        index += 2;
    }
    if (index >= text.size())
        return std::nullopt;
    // The magnitude is gathered in 64 bits and checked against the 32-bit range
    // as it grows, so that no digit string can overflow the accumulator.
    int64_t magnitude = 0;
    constexpr int64_t limit = int64_t(INT32_MAX) + 1;
    for (; index < text.size(); ++index) {
        int digit = base == 10 ? (text[index] >= '0' && text[index] <= '9' ? text[index] - '0' : -1)
                               : hex_digit_value(text[index]);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > limit)
            return std::nullopt;
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX || value < INT32_MIN)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

void append_number(std::string& out, int64_t value)
{
    char buffer[24];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, end);
}

std::string format_number(int64_t value)
{
    std::string out;
    append_number(out, value);
    return out;
}

}
