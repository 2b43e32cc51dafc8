// SPDX-License-Identifier: GPL-3.0-or-later
// Text helpers shared by the phoneme-line voice's file readers and normaliser.
#pragma once

#include <string_view>

namespace speech {

// `text` without the blanks, tabs and line ends around it.
inline std::string_view trim_line(std::string_view text)
{
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string_view::npos)
        return {};
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

}
