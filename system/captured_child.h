// SPDX-License-Identifier: GPL-3.0-or-later
// CapturedChild: the one program whose standard streams the runtime holds.
#pragma once

#include "platform/process_launcher.h"

#include <optional>
#include <string>
#include <string_view>

namespace sys {

// At most 65535 bytes of each stream are taken per read, as the console's
// reader has always taken them.
constexpr size_t captured_read_limit = 65535;

class CapturedChild {
public:
    // The new child's pipes replace the last one's, whose ends are closed
    // here; that child itself is left running.
    void replace(platform::CapturedProcess process) { m_process = std::move(process); }
    // Closes the pipe ends; nothing is captured afterwards.
    void release() { m_process.reset(); }

    bool is_open() const { return m_process.has_value(); }
    int pid() const { return m_process ? m_process->pid : 0; }

    // What waits now in the output and error pipes, without blocking:
    // output, then CR LF and the error text when both are there, and a final
    // CR LF after any text. Converted from UTF-8 where it is UTF-8.
    std::string read_output(platform::ProcessLauncher& launcher);

    // Writes the text and a line end to the child's input; nothing when
    // there is no child or it does not read. A pipe that stays full gives up
    // after a bounded wait.
    void send_line(platform::ProcessLauncher& launcher, std::string_view text);

private:
    std::optional<platform::CapturedProcess> m_process;
};

}
