// SPDX-License-Identifier: GPL-3.0-or-later
// A file size in the readable form of HTAMARQ: "1.50KB", "100.00 B".
#include "files/readable_size.h"

#include <array>
#include <cstdio>
#include <locale>
#include <string_view>

namespace files {

std::string format_readable_size(uint64_t size, char decimal_separator)
{
    constexpr std::array<std::string_view, 5> units = { " B", "KB", " MB", "GB", " TB" };
    double value = static_cast<double>(size);
    size_t divisions = 0;
    while (value >= 1024) {
        value /= 1024;
        ++divisions;
    }
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.2f", value);
    std::string text = buffer;
    for (char& c : text) {
        if (c == '.')
            c = decimal_separator;
    }
    if (divisions < units.size())
        text += units[divisions];
    return text;
}

char locale_decimal_separator()
{
    // The program itself runs in the C locale; the user's setting is asked
    // for explicitly, and a locale the system lacks falls back to ".".
    try {
        std::locale user_locale("");
        return std::use_facet<std::numpunct<char>>(user_locale).decimal_point();
    } catch (...) {
        return '.';
    }
}

}
