// SPDX-License-Identifier: GPL-3.0-or-later
// The interpreter's text rules: trimming and line normalisation.
#include "interpreter/text.h"

namespace interpreter {

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
