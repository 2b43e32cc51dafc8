// SPDX-License-Identifier: GPL-3.0-or-later
// Text helpers shared by the phoneme-line voice's file readers and normaliser.
#pragma once

#include <string_view>
#include <vector>

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

// The lines of a file's text, each without its line end ("\n" or "\r\n").
inline std::vector<std::string_view> split_lines(std::string_view text)
{
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        auto line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

}
