// SPDX-License-Identifier: GPL-3.0-or-later
// The script's case rule: how keywords, names and compared texts are upper-cased.
#include "base/script_case.h"

namespace base {

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

}
