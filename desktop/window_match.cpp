// SPDX-License-Identifier: GPL-3.0-or-later
// The title match of JANELA and the search for the first window that passes it.
#include "desktop/window_match.h"

#include "base/script_case.h"
#include "base/text_encoding.h"

#include <string>

namespace desktop {

namespace {

constexpr size_t max_title_length = 143;

}

bool title_matches(std::string_view pattern, std::string_view title)
{
    bool at_start = false;
    bool at_end = false;
    if (!pattern.empty() && pattern.front() == '*') {
        at_start = true;
        pattern.remove_prefix(1);
    }
    if (!pattern.empty() && pattern.back() == '*') {
        at_end = true;
        pattern.remove_suffix(1);
    }
    std::string upper_title = base::upper_text(title.substr(0, max_title_length));
    if (upper_title.empty())
        return false;
    std::string upper_pattern = base::upper_text(pattern);
    auto position = upper_title.find(upper_pattern);
    if (position == std::string::npos)
        return false;
    if (at_start && position != 0)
        return false;
    if (at_end && position + upper_pattern.size() != upper_title.size())
        return false;
    return true;
}

std::optional<uint64_t> find_window(const std::vector<platform::TopLevelWindow>& windows, std::string_view pattern)
{
    for (const auto& window : windows) {
        if (!window.enabled || (!window.visible && !window.minimised))
            continue;
        if (title_matches(pattern, base::utf8_to_windows1252(window.title)))
            return window.id;
    }
    return std::nullopt;
}

}
