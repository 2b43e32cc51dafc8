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
// True, with `value` set, when `text` is one to nine plain digits.
inline bool parse_plain_digits(std::string_view text, uint32_t& value)
{
    if (text.size() - 1 >= 9)
        return false;
    value = 0;
    for (char c : text) {
        unsigned digit = static_cast<unsigned char>(c) - unsigned('0');
        if (digit > 9)
            return false;
        value = value * 10 + digit;
    }
    return true;
}

inline std::optional<int32_t> parse_number(std::string_view text)
{
    uint32_t value;
    if (parse_plain_digits(text, value))
        return static_cast<int32_t>(value);
    return parse_number_general(text);
}

// The number at the end of `text` by the general rule; see trailing_number.
int32_t trailing_number_general(std::string_view text, size_t& start);

// The number at the end of `text` as SOMA reads it: the run of digits at
// the end with the "-" before it, if any, converted by parse_number, or 0
// when that is not a number. `start` receives where the run begins. A short
// run is converted while it is found, so that counting up "item9" or a loop
// counter reads its digits once.
inline int32_t trailing_number(std::string_view text, size_t& start)
{
    size_t begin = text.size();
    uint32_t value = 0;
    uint32_t scale = 1;
    while (begin > 0 && begin + 9 > text.size()) {
        unsigned digit = static_cast<unsigned char>(text[begin - 1]) - unsigned('0');
        if (digit > 9)
            break;
        value += digit * scale;
        scale *= 10;
        --begin;
    }
    if (begin == 0 || static_cast<unsigned char>(text[begin - 1]) - unsigned('0') > 9) {
        bool negative = begin > 0 && text[begin - 1] == '-';
        start = negative ? begin - 1 : begin;
        if (begin == text.size())
            return 0;
        return negative ? static_cast<int32_t>(0 - value) : static_cast<int32_t>(value);
    }
    return trailing_number_general(text, start);
}

// Adds one to the number text[start..] in place when it is written as
// append_number would write it and has one to nine digits (so that the sum
// cannot leave the range); false, with the text unchanged, otherwise. Loop
// counters and SOMA ... 1 mostly change only their last digit, which is
// cheaper than formatting the whole number again.
inline bool increment_digits_in_place(std::string& text, size_t start);
inline bool increment_in_place(std::string& text, size_t start)
{
    if (start > text.size())
        return false;
    for (size_t i = start; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) - unsigned('0') > 9)
            return false;
    }
    return increment_digits_in_place(text, start);
}

// increment_in_place for a caller that has seen text[start..] hold nothing
// but digits (only the first is checked again); the counters of loops have
// been read just before, and need no second pass over their digits.
inline bool increment_digits_in_place(std::string& text, size_t start)
{
    if (start >= text.size())
        return false;
    size_t digits = text.size() - start;
    unsigned first = static_cast<unsigned char>(text[start]) - unsigned('0');
    if (digits > 9 || first > 9 || (first == 0 && digits > 1))
        return false;
    for (size_t i = text.size(); i > start;) {
        --i;
        if (text[i] != '9') {
            ++text[i];
            return true;
        }
        text[i] = '0';
    }
    text.insert(start, 1, '1');
    return true;
}

std::string format_number(int64_t value);
void append_number(std::string& out, int64_t value);

}
