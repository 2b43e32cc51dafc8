// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopBackends: the desktop, clipboard and accessibility backends of the desktop commands.
#pragma once

#include "app/options.h"
#include "base/result.h"
#include "desktop/desktop_state.h"
#include "interpreter/runtime.h"
#include "platform/headless/memory_clipboard.h"

#include <memory>
#include <string>

namespace app {

// Headless runs record what the commands do, in memory, unless --desktop
// says otherwise; the terminal and the window act on the X display when
// there is one, and on nothing otherwise. The display is opened by the
// first command that acts on it (lazy_desktop.h). Accessibility follows the
// same choice: the described objects of --accessible-objects when recording,
// AT-SPI on a real desktop (loaded by the first MSAA command), none else.
class DesktopBackends {
public:
    // Fails when the file of --accessible-objects cannot be read or is not valid.
    static base::Result<std::unique_ptr<DesktopBackends>> create(const Options& options, bool headless_console);
    DesktopBackends(const DesktopBackends&) = delete;
    DesktopBackends& operator=(const DesktopBackends&) = delete;

    void attach(interpreter::Subsystems& subsystems) { subsystems.desktop = &m_state; }
    // The desktop's clipboard for the console to share, when it has one.
    platform::Clipboard* shared_clipboard() { return m_system_clipboard.get(); }
    // Which desktop the commands act on: "X11", "headless" or "none".
    std::string desktop_name() { return m_input->name(); }

private:
    DesktopBackends(const std::string& choice, std::unique_ptr<platform::Accessibility> accessibility);

    std::unique_ptr<platform::DesktopInput> m_input;
    // Before the system clipboard, which falls back to it.
    platform::MemoryClipboard m_memory_clipboard;
    std::unique_ptr<platform::Clipboard> m_system_clipboard;
    std::unique_ptr<platform::Accessibility> m_accessibility;
    desktop::DesktopState m_state;
};

}
