// SPDX-License-Identifier: GPL-3.0-or-later
// CapturedChild: the one program whose standard streams the runtime holds.
#include "system/captured_child.h"

#include "base/text_encoding.h"

namespace sys {

namespace {

// A child that does not read its input must not hang the script.
constexpr int send_timeout_ms = 2000;

}

std::string CapturedChild::read_output(platform::ProcessLauncher& launcher)
{
    if (!m_process)
        return {};
    std::string text = launcher.read_pipe(m_process->output.get(), captured_read_limit);
    std::string error = launcher.read_pipe(m_process->error.get(), captured_read_limit);
    if (!text.empty())
        text += "\r\n";
    text += error;
    if (!text.empty())
        text += "\r\n";
    return base::utf8_to_windows1252(text);
}

void CapturedChild::send_line(platform::ProcessLauncher& launcher, std::string_view text)
{
    if (!m_process)
        return;
    // Programs here read lines that end in LF alone; a CR would stay at the
    // end of every answer they read.
    std::string line = base::windows1252_to_utf8(text);
    line += '\n';
    launcher.write_pipe(m_process->input.get(), line, send_timeout_ms);
}

}
