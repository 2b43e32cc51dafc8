// SPDX-License-Identifier: GPL-3.0-or-later
// Reading text as a 32-bit number and writing numbers as text.
#include "interpreter/number.h"

#include "base/hex_digit.h"

namespace interpreter {

std::optional<int32_t> parse_number_general(std::string_view text)
{
    const char* cursor = text.data();
    const char* end = cursor + text.size();
    while (cursor < end && *cursor == ' ')
        ++cursor;
    bool negative = false;
    if (cursor < end && (*cursor == '-' || *cursor == '+')) {
        negative = *cursor == '-';
        ++cursor;
    }
    if (cursor >= end)
        return std::nullopt;
    // The magnitude is gathered in 64 bits and checked against the 32-bit
    // range as it grows, so that no digit string can overflow it.
    constexpr int64_t limit = int64_t(INT32_MAX) + 1;
    int64_t magnitude = 0;
    if (*cursor >= '0' && *cursor <= '9' && !(*cursor == '0' && cursor + 1 < end && (cursor[1] == 'x' || cursor[1] == 'X'))) {
        for (; cursor < end; ++cursor) {
            unsigned digit = static_cast<unsigned char>(*cursor) - '0';
            if (digit > 9)
                return std::nullopt;
            magnitude = magnitude * 10 + digit;
            if (magnitude > limit)
                return std::nullopt;
        }
    } else {
        if (*cursor == '$' || *cursor == 'x' || *cursor == 'X')
            cursor += 1;
        else if (*cursor == '0')
            cursor += 2; // "0x" or "0X", checked above
        else
            return std::nullopt;
        if (cursor >= end)
            return std::nullopt;
        for (; cursor < end; ++cursor) {
            int digit = base::hex_digit_value(*cursor);
            if (digit < 0)
                return std::nullopt;
            magnitude = magnitude * 16 + digit;
            if (magnitude > limit)
                return std::nullopt;
        }
    }
    int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

void append_number(std::string& out, int64_t value)
{
    // Two digits at a time from a table: numbers are formatted on every
    // arithmetic statement and every loop turn.
    static constexpr char pairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                                    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                                    "8081828384858687888990919293949596979899";
    // Counters, remainders and small sums: most numbers have one or two digits.
    if (value >= 0 && value < 100) {
        if (value >= 10)
            out += pairs[value * 2];
        out += pairs[value * 2 + 1];
        return;
    }
    char buffer[24];
    char* end = buffer + sizeof buffer;
    char* start = end;
    uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    // Script numbers are 32-bit: their digits come from the cheaper 32-bit
    // division once the magnitude fits.
    while (magnitude > UINT32_MAX) {
        auto pair = static_cast<size_t>(magnitude % 100) * 2;
        magnitude /= 100;
        *--start = pairs[pair + 1];
        *--start = pairs[pair];
    }
    auto small = static_cast<uint32_t>(magnitude);
    while (small >= 100) {
        auto pair = static_cast<size_t>(small % 100) * 2;
        small /= 100;
        *--start = pairs[pair + 1];
        *--start = pairs[pair];
    }
    if (small >= 10) {
        auto pair = static_cast<size_t>(small) * 2;
        *--start = pairs[pair + 1];
        *--start = pairs[pair];
    } else {
        *--start = static_cast<char>('0' + small);
    }
    if (value < 0)
        *--start = '-';
    out.append(start, static_cast<size_t>(end - start));
}

int32_t trailing_number_general(std::string_view text, size_t& start)
{
    size_t number_start = text.size();
    while (number_start > 0 && text[number_start - 1] >= '0' && text[number_start - 1] <= '9')
        --number_start;
    if (number_start > 0 && text[number_start - 1] == '-')
        --number_start;
    start = number_start;
    return parse_number(text.substr(number_start)).value_or(0);
}

std::string format_number(int64_t value)
{
    std::string out;
    append_number(out, value);
    return out;
}

}
