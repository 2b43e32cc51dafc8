// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopState: the desktop backends the commands use, and what MSAA keeps between statements.
#pragma once

#include "platform/accessibility.h"
#include "platform/clipboard.h"
#include "platform/desktop_input.h"

#include <string>

namespace desktop {

// The last accessible object read, with its texts in Windows-1252, as the
// AREA, NOME, CODIGO, TIPO, ESTADO and VALOR queries give them back.
struct AccessibleReading {
    uint32_t role_code = 0;
    std::string role_text;
    platform::ScreenArea area;
    std::string name;
    std::string state_text;
    std::string value;
};

// Built by app/ with the backends it chose.
class DesktopState {
public:
    DesktopState(platform::DesktopInput& input, platform::Clipboard& clipboard, platform::Accessibility& accessibility)
        : m_input(input)
        , m_clipboard(clipboard)
        , m_accessibility(accessibility)
    {
    }
    DesktopState(const DesktopState&) = delete;
    DesktopState& operator=(const DesktopState&) = delete;

    platform::DesktopInput& input() { return m_input; }
    platform::Clipboard& clipboard() { return m_clipboard; }
    platform::Accessibility& accessibility() { return m_accessibility; }
    AccessibleReading& reading() { return m_reading; }
    bool monitoring() const { return m_monitoring; }
    void set_monitoring(bool on) { m_monitoring = on; }

private:
    platform::DesktopInput& m_input;
    platform::Clipboard& m_clipboard;
    platform::Accessibility& m_accessibility;
    AccessibleReading m_reading;
    bool m_monitoring = false;
};

}
