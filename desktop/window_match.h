// SPDX-License-Identifier: GPL-3.0-or-later
// The title match of JANELA and the search for the first window that passes it.
#pragma once

#include "platform/desktop_input.h"

#include <optional>
#include <string_view>
#include <vector>

namespace desktop {

// A leading "*" ties the text to the start of the title, a trailing one to
// its end; without either it may stand anywhere. Both are Windows-1252 and
// compared upper-cased; the title counts only up to 143 characters.
bool title_matches(std::string_view pattern, std::string_view title);

// The first window that a person could switch to (enabled, shown or
// minimised, with a title) whose title matches.
std::optional<uint64_t> find_window(const std::vector<platform::TopLevelWindow>& windows, std::string_view pattern);

}
