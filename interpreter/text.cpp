// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter's text rules: its one case rule, trimming and line normalisation.
#include "interpreter/text.h"

namespace interpreter {

std::string upper_text(std::string_view text)
{
    std::string result(text);
    upper_text_in_place(result);
    return result;
}

void upper_text_in_place(std::string& text)
{
    for (char& c : text)
        c = upper_byte(c);
}

std::string normalise_block_line(std::string_view line)
{
    line = trim(line);
    std::string result;
    result.reserve(line.size());
    for (char c : line) {
        if (c == ' ' && !result.empty() && result.back() == ' ')
            continue;
        result += upper_byte(c);
    }
    return result;
}

}
