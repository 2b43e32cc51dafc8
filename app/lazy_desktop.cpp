// SPDX-License-Identifier: GPL-3.0-or-later
// The X11 desktop's backends, opened when a desktop command first uses them.
#include "app/lazy_desktop.h"

namespace app {

LazyDesktop::LazyDesktop(Opener open, std::optional<uint64_t> console_window)
    : m_open(std::move(open))
    , m_console_window(console_window)
{
}

platform::Desktop& LazyDesktop::desktop()
{
    if (!m_desktop) {
        m_desktop = m_open(m_console_window);
        if (!m_desktop)
            m_desktop = std::make_unique<platform::NoDesktop>(m_console_window);
    }
    return *m_desktop;
}

LazyDesktopInput::LazyDesktopInput(Opener open)
    : m_open(std::move(open))
{
}

platform::DesktopInput& LazyDesktopInput::input()
{
    if (!m_input) {
        m_input = m_open();
        if (!m_input)
            m_input = std::make_unique<platform::NoDesktopInput>();
    }
    return *m_input;
}

LazyClipboard::LazyClipboard(Opener open, platform::Clipboard& fallback)
    : m_open(std::move(open))
    , m_fallback(fallback)
{
}

platform::Clipboard& LazyClipboard::clipboard()
{
    if (!m_tried) {
        m_tried = true;
        m_clipboard = m_open();
    }
    return m_clipboard ? *m_clipboard : m_fallback;
}

}
