// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopBackends: the desktop, clipboard and accessibility backends of the desktop commands.
#include "app/desktop_backends.h"

#include "app/lazy_desktop.h"
#include "platform/headless/recording_desktop.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_desktop_input.h"

#include <cstdlib>

namespace app {

namespace {

std::string desktop_choice(const Options& options, bool headless_console)
{
    if (!options.desktop.empty())
        return options.desktop;
    return headless_console ? "headless" : "x11";
}

std::unique_ptr<platform::DesktopInput> choose_input(const std::string& choice)
{
    if (choice == "headless")
        return std::make_unique<platform::RecordingDesktop>();
    if (choice == "x11")
        return std::make_unique<LazyDesktopInput>(platform::open_x11_desktop_input);
    return std::make_unique<platform::NoDesktopInput>();
}

// The X display's clipboard is shared with the console when the commands
// act on a display; the display is only named here, and opened by the
// first use of the clipboard.
std::unique_ptr<platform::Clipboard> choose_clipboard(const std::string& choice, platform::Clipboard& fallback)
{
    const char* display = std::getenv("DISPLAY");
    if (choice != "x11" || !display || !*display)
        return nullptr;
    return std::make_unique<LazyClipboard>(platform::open_x11_clipboard, fallback);
}

}

DesktopBackends::DesktopBackends(const Options& options, bool headless_console)
    : m_input(choose_input(desktop_choice(options, headless_console)))
    , m_system_clipboard(choose_clipboard(desktop_choice(options, headless_console), m_memory_clipboard))
    , m_state(*m_input, m_system_clipboard ? *m_system_clipboard : m_memory_clipboard, m_accessibility)
{
}

}
