// SPDX-License-Identifier: GPL-3.0-or-later
// MemoryClipboard: a clipboard that lives in the process, for headless runs.
#pragma once

#include "platform/clipboard.h"

namespace platform {

class MemoryClipboard final : public Clipboard {
public:
    void set_text(std::string_view utf8) override { m_text = std::string(utf8); }
    std::optional<std::string> text() override { return m_text; }

private:
    std::optional<std::string> m_text;
};

}
