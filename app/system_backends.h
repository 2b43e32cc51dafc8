// SPDX-License-Identifier: GPL-3.0-or-later
// SystemBackends: the process, desktop and port backends of the system commands.
#pragma once

#include "interpreter/runtime.h"
#include "platform/desktop.h"
#include "platform/posix/posix_process_launcher.h"
#include "platform/posix/ppdev_port.h"
#include "system/system_state.h"

#include <memory>

namespace app {

// Headless runs watch no windows; otherwise the X11 desktop when a display
// is there, with the terminal's window ($WINDOWID) as the console's.
class SystemBackends {
public:
    explicit SystemBackends(bool headless);
    SystemBackends(const SystemBackends&) = delete;
    SystemBackends& operator=(const SystemBackends&) = delete;

    void attach(interpreter::Subsystems& subsystems)
    {
        subsystems.system = &m_state;
        subsystems.captured_output = &m_state;
    }
    sys::SystemState& state() { return m_state; }

private:
    platform::PosixProcessLauncher m_launcher;
    std::unique_ptr<platform::Desktop> m_desktop;
    platform::PpdevPortOpener m_ports;
    sys::SystemState m_state;
};

}
