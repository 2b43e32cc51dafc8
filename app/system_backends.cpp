// SPDX-License-Identifier: GPL-3.0-or-later
// SystemBackends: the process, desktop and port backends of the system commands.
#include "app/system_backends.h"

#include "interpreter/number.h"
#include "platform/x11/x11_desktop.h"

#include <cstdlib>

namespace app {

namespace {

std::unique_ptr<platform::Desktop> choose_desktop(bool headless)
{
    if (headless)
        return std::make_unique<platform::NoDesktop>();
    std::optional<uint64_t> terminal_window;
    if (const char* id = std::getenv("WINDOWID")) {
        if (auto number = interpreter::parse_number(id); number && *number > 0)
            terminal_window = static_cast<uint64_t>(*number);
    }
    if (auto desktop = platform::open_x11_desktop(terminal_window))
        return desktop;
    return std::make_unique<platform::NoDesktop>(terminal_window);
}

}

SystemBackends::SystemBackends(bool headless)
    : m_desktop(choose_desktop(headless))
    , m_state(m_launcher, *m_desktop, m_ports)
{
}

}
