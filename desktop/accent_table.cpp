// SPDX-License-Identifier: GPL-3.0-or-later
// The accent table: how each Windows-1252 character from 128 to 255 is typed.
#include "desktop/accent_table.h"

#include <string_view>

namespace desktop {

namespace {

constexpr unsigned char grave = '`';
constexpr unsigned char acute = 0xB4;
constexpr unsigned char circumflex = '^';
constexpr unsigned char tilde = '~';
constexpr unsigned char diaeresis = 0xA8;

struct AccentRow {
    unsigned char dead_key;
    // The accented letters, capitals then small letters, and the plain
    // letter of each, in the same order.
    std::string_view accented;
    std::string_view plain;
};

// "Å", "Ç", "Ð", "Ø" and the like have no accent key of their own: they are
// typed as themselves.
constexpr AccentRow rows[] = {
    { grave, "\xC0\xC8\xCC\xD2\xD9\xE0\xE8\xEC\xF2\xF9", "AEIOUaeiou" },
    { acute, "\xC1\xC9\xCD\xD3\xDA\xDD\xE1\xE9\xED\xF3\xFA\xFD", "AEIOUYaeiouy" },
    { circumflex, "\xC2\xCA\xCE\xD4\xDB\xE2\xEA\xEE\xF4\xFB", "AEIOUaeiou" },
    { tilde, "\xC3\xD1\xD5\xE3\xF1\xF5", "ANOano" },
    { diaeresis, "\xC4\xCB\xCF\xD6\xDC\x9F\xE4\xEB\xEF\xF6\xFC\xFF", "AEIOUYaeiouy" },
};

}

AccentedKey accented_key(unsigned char character)
{
    for (const auto& row : rows) {
        auto position = row.accented.find(static_cast<char>(character));
        if (position != std::string_view::npos)
            return { row.dead_key, static_cast<unsigned char>(row.plain[position]) };
    }
    return { 0, character };
}

}
