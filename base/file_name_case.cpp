// SPDX-License-Identifier: GPL-3.0-or-later
// Comparing Windows-1252 names without regard to case, as Windows file and profile names are.
#include "base/file_name_case.h"

namespace base {

unsigned char fold_case(unsigned char byte)
{
    if (byte >= 'a' && byte <= 'z')
        return static_cast<unsigned char>(byte - 32);
    if (byte >= 0xE0 && byte <= 0xFE && byte != 0xF7)
        return static_cast<unsigned char>(byte - 32);
    switch (byte) {
    case 0x9A: return 0x8A; // s with caron
    case 0x9C: return 0x8C; // oe
    case 0x9E: return 0x8E; // z with caron
    case 0xFF: return 0x9F; // y with diaeresis
    default: return byte;
    }
}

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (fold_case(static_cast<unsigned char>(a[i])) != fold_case(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

}
