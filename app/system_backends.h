// SPDX-License-Identifier: GPL-3.0-or-later
// SystemBackends: the process, desktop and port backends of the system commands.
#pragma once

#include "interpreter/runtime.h"
#include "platform/desktop.h"
#include "platform/posix/posix_process_launcher.h"
#include "platform/posix/ppdev_port.h"
#include "system/picture_sink.h"
#include "system/system_state.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace console {
class Console;
}

namespace app {

// The console in a window watches the X11 desktop with that window as the
// console's. Otherwise a console that is not on a terminal (headless, or a
// window without an X11 id) watches no windows, and the terminal console
// watches the X11 desktop when a display is there, with the terminal's
// window ($WINDOWID) as the console's. The display is opened when the
// desktop is first asked about (lazy_desktop.h).
class SystemBackends {
public:
    SystemBackends(bool without_terminal, std::optional<uint64_t> console_window);
    SystemBackends(const SystemBackends&) = delete;
    SystemBackends& operator=(const SystemBackends&) = delete;

    void attach(interpreter::Subsystems& subsystems)
    {
        subsystems.system = &m_state;
        subsystems.captured_output = &m_state;
    }
    sys::SystemState& state() { return m_state; }

    // IMAGEM's pictures become the console's own.
    void use_console(console::Console& console);

private:
    platform::PosixProcessLauncher m_launcher;
    std::unique_ptr<platform::Desktop> m_desktop;
    platform::PpdevPortOpener m_ports;
    sys::SystemState m_state;
    std::unique_ptr<sys::PictureSink> m_pictures;
};

}
