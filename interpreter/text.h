// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter's text rules: trimming and line normalisation.
#pragma once

#include "base/script_case.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace interpreter {

constexpr bool is_blank(char c) { return static_cast<uint8_t>(c) <= 32; }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
constexpr bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The script's case rule lives in base/, shared with every folder that compares script text.
using base::upper_byte;
using base::upper_table;
using base::upper_text;
using base::upper_text_in_place;

// Removes every character of code 32 or less from the front, or from both
// ends. Every statement trims several times, so these stay inline.
inline std::string_view trim_front(std::string_view text)
{
    size_t start = 0;
    while (start < text.size() && is_blank(text[start]))
        ++start;
    return std::string_view(text.data() + start, text.size() - start);
}

inline std::string_view trim(std::string_view text)
{
    text = trim_front(text);
    size_t end = text.size();
    while (end > 0 && is_blank(text[end - 1]))
        --end;
    return std::string_view(text.data(), end);
}

// Trimmed, upper-cased, and with every run of spaces inside reduced to one:
// the form in which block scans compare lines.
std::string normalise_block_line(std::string_view line);

// True when `text` begins with `prefix` once upper-cased (prefix is upper-case).
inline bool starts_with_upper(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (upper_byte(text[i]) != prefix[i])
            return false;
    }
    return true;
}
// True when `text` upper-cased is `upper` (which is upper-case).
inline bool equals_upper(std::string_view text, std::string_view upper)
{
    return text.size() == upper.size() && starts_with_upper(text, upper);
}

}
