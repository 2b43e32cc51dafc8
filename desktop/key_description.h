// SPDX-License-Identifier: GPL-3.0-or-later
// KeyDescription: a key combination written as text, such as "CTRL+SHIFT+TAB".
#pragma once

#include <optional>
#include <string_view>

namespace desktop {

struct KeyDescription {
    int virtual_key = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;

    bool operator==(const KeyDescription&) const = default;
};

// The modifiers come first, in the order Ctrl, Shift, Alt, each followed by
// "+"; then a key name, "#" and a decimal virtual-key code, or one
// character. Letters are compared upper-cased. Nothing when the text is not
// such a description.
std::optional<KeyDescription> parse_key_description(std::string_view text);

}
