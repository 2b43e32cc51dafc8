// SPDX-License-Identifier: GPL-3.0-or-later
// Clipboard: the system's plain-text clipboard.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace platform {

// Text here is UTF-8, as the system holds it; the console converts.
// A clipboard that cannot be reached behaves as an empty one and ignores
// writes.
class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual void set_text(std::string_view utf8) = 0;
    // Nothing when the clipboard holds no text.
    virtual std::optional<std::string> text() = 0;
};

}
