// SPDX-License-Identifier: GPL-3.0-or-later
// DesktopBackends: the desktop, clipboard and accessibility backends of the desktop commands.
#include "app/desktop_backends.h"

#include "platform/headless/recording_desktop.h"
#include "platform/x11/x11_clipboard.h"
#include "platform/x11/x11_desktop_input.h"

namespace app {

namespace {

std::unique_ptr<platform::DesktopInput> choose_input(const Options& options, bool headless_console)
{
    std::string choice = options.desktop;
    if (choice.empty())
        choice = headless_console ? "headless" : "x11";
    if (choice == "headless")
        return std::make_unique<platform::RecordingDesktop>();
    if (choice == "x11") {
        if (auto input = platform::open_x11_desktop_input())
            return input;
    }
    return std::make_unique<platform::NoDesktopInput>();
}

platform::Clipboard& pick(std::unique_ptr<platform::Clipboard>& system, platform::Clipboard& memory)
{
    return system ? *system : memory;
}

}

DesktopBackends::DesktopBackends(const Options& options, bool headless_console)
    : m_input(choose_input(options, headless_console))
    , m_system_clipboard(m_input->name() == "X11" ? platform::open_x11_clipboard() : nullptr)
    , m_state(*m_input, pick(m_system_clipboard, m_memory_clipboard), m_accessibility)
{
}

}
