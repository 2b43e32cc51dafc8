// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter's text rules: its one case rule, trimming and line normalisation.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace interpreter {

// The system's only case rule: "a".."z" and the bytes 224..255 move down by 32.
// Every keyword, name and compared text goes through it byte by byte, so it
// is a table: one load instead of two tests and a branch.
struct UpperTable {
    uint8_t bytes[256];
    constexpr UpperTable()
        : bytes()
    {
        for (int byte = 0; byte < 256; ++byte)
            bytes[byte] = static_cast<uint8_t>((byte >= 'a' && byte <= 'z') || byte >= 224 ? byte - 32 : byte);
    }
};
inline constexpr UpperTable upper_table;

constexpr char upper_byte(char c)
{
    return static_cast<char>(upper_table.bytes[static_cast<uint8_t>(c)]);
}

constexpr bool is_blank(char c) { return static_cast<uint8_t>(c) <= 32; }
constexpr bool is_digit(char c) { return c >= '0' && c <= '9'; }
constexpr bool is_ascii_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string upper_text(std::string_view text);
void upper_text_in_place(std::string& text);

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
