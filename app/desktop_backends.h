// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopBackends: the desktop, clipboard and accessibility backends of the desktop commands.
#pragma once

#include "app/options.h"
#include "desktop/desktop_state.h"
#include "interpreter/runtime.h"
#include "platform/headless/memory_clipboard.h"

#include <memory>
#include <string>

namespace app {

// Headless runs record what the commands do, in memory, unless --desktop
// says otherwise; the terminal and the window act on the X display when
// there is one, and on nothing otherwise.
class DesktopBackends {
public:
    explicit DesktopBackends(const Options& options, bool headless_console);
    DesktopBackends(const DesktopBackends&) = delete;
    DesktopBackends& operator=(const DesktopBackends&) = delete;

    void attach(interpreter::Subsystems& subsystems) { subsystems.desktop = &m_state; }
    // The desktop's clipboard for the console to share, when it has one.
    platform::Clipboard* shared_clipboard() { return m_system_clipboard.get(); }
    // Which desktop the commands act on: "X11", "headless" or "none".
    std::string desktop_name() { return m_input->name(); }

private:
    std::unique_ptr<platform::DesktopInput> m_input;
    std::unique_ptr<platform::Clipboard> m_system_clipboard;
    platform::MemoryClipboard m_memory_clipboard;
    platform::NoAccessibility m_accessibility;
    desktop::DesktopState m_state;
};

}
