// SPDX-License-Identifier: GPL-3.0-or-later
// SdlClipboard: the desktop's clipboard, reached through SDL's video subsystem.
#pragma once

#include "platform/clipboard.h"

namespace platform {

// Only usable while the window's video subsystem runs, from its thread.
class SdlClipboard final : public Clipboard {
public:
    void set_text(std::string_view utf8) override;
    std::optional<std::string> text() override;
};

}
