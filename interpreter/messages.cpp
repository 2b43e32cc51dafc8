// SPDX-License-Identifier: GPL-3.0-or-later
// The message line: how commands tell the user what went wrong.
#include "interpreter/messages.h"

#include "interpreter/runtime.h"

namespace interpreter {

void write_message_line(Runtime& runtime, std::string_view text)
{
    runtime.terminal.write_text(text);
    runtime.speech.speak_text(text);
    runtime.terminal.end_line();
}

}
