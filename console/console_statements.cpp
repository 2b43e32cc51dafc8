// SPDX-License-Identifier: GPL-3.0-or-later
// The console commands of scripts: ESCREVE and its companions.
#include "console/console_statements.h"

#include "console/file_statements.h"
#include "interpreter/argument_readers.h"
#include "interpreter/messages.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

namespace console {

using namespace interpreter;

namespace {

// Waits while the speech output is busy; a key ends the wait and stays in
// the queue for its reader.
void wait_while_speaking(Runtime& runtime)
{
    while (runtime.host.speech_busy() && !runtime.host.key_waiting())
        runtime.host.pause_ms(10);
}

bool run_write(Runtime& runtime, std::string_view rest)
{
    runtime.io_status = 0;
    bool line_end = !take_trailing_ampersand(rest);
    bool silent = false;
    if (!rest.empty() && rest[0] == '#')
        return write_to_channel(runtime, rest, line_end);
    if (starts_with_upper(rest, "MUDO")) {
        rest.remove_prefix(4);
        silent = true;
    }
    std::string text, value;
    while (read_value(runtime, rest, value))
        text += value;
    runtime.host.write_text(text);
    if (line_end)
        runtime.host.end_line();
    if (!silent && !text.empty())
        runtime.host.speak_text(text);
    if (!rest.empty())
        return false;
    wait_while_speaking(runtime);
    return true;
}

}

void bind_console_statements(CommandTable& table)
{
    table.bind("ESCREVE", run_write);
}

}
