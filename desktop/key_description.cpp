// SPDX-License-Identifier: GPL-3.0-or-later
// KeyDescription: a key combination written as text, such as "CTRL+SHIFT+TAB".
#include "desktop/key_description.h"

#include "base/script_case.h"

#include <string>

namespace desktop {

namespace {

struct NamedKey {
    std::string_view name;
    int virtual_key;
};

constexpr NamedKey named_keys[] = {
    { "UP", 38 }, { "DOWN", 40 }, { "LEFT", 37 }, { "RIGHT", 39 }, { "ESCAPE", 27 }, { "ESC", 27 },
    { "ENTER", 13 }, { "RETURN", 13 }, { "BACKSPACE", 8 }, { "TAB", 9 }, { "F1", 112 }, { "F2", 113 },
    { "F3", 114 }, { "F4", 115 }, { "F5", 116 }, { "F6", 117 }, { "F7", 118 }, { "F8", 119 }, { "F9", 120 },
    { "F10", 121 }, { "F11", 122 }, { "F12", 123 }, { "INS", 45 }, { "HOME", 36 }, { "DEL", 46 },
    { "DELETE", 46 }, { "END", 35 }, { "PAGEUP", 33 }, { "PRIOR", 33 }, { "PAGEDN", 34 }, { "NEXT", 34 },
    { "SNAPSHOT", 44 },
};

bool take_prefix(std::string_view& text, std::string_view prefix)
{
    if (!text.starts_with(prefix))
        return false;
    text.remove_prefix(prefix.size());
    return true;
}

}

std::optional<KeyDescription> parse_key_description(std::string_view text)
{
    std::string upper = base::upper_text(text);
    std::string_view rest = upper;
    KeyDescription key;
    key.ctrl = take_prefix(rest, "CTRL+");
    key.shift = take_prefix(rest, "SHIFT+");
    key.alt = take_prefix(rest, "ALT+");
    if (rest.empty())
        return std::nullopt;
    for (const auto& named : named_keys) {
        if (rest == named.name) {
            key.virtual_key = named.virtual_key;
            return key;
        }
    }
    if (rest.size() > 1 && rest[0] == '#') {
        // A virtual key is one byte; a longer number names no key.
        int code = 0;
        for (char digit : rest.substr(1)) {
            if (digit < '0' || digit > '9')
                return std::nullopt;
            code = code * 10 + (digit - '0');
            if (code > 255)
                return std::nullopt;
        }
        key.virtual_key = code;
        return key;
    }
    if (rest.size() == 1) {
        key.virtual_key = static_cast<unsigned char>(rest[0]);
        return key;
    }
    return std::nullopt;
}

}
