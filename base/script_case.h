// SPDX-License-Identifier: GPL-3.0-or-later
// The script's case rule: how keywords, names and compared texts are upper-cased.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace base {

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

std::string upper_text(std::string_view text);
void upper_text_in_place(std::string& text);

}
