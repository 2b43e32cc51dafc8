// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/screen_review.h"

#include "console/console.h"
#include "interpreter/runtime.h"

namespace console {

// FIXME: only the entry and exit cues so far; the review keys come next.
void screen_review(interpreter::Runtime& runtime)
{
    auto& host = runtime.host;
    auto* console = runtime.subsystems.console;
    if (!console)
        return;
    int column = console->where_x();
    int row = console->where_y();
    host.play_beep();
    while (host.read_key() != 27) {
    }
    host.play_beep();
    host.play_beep();
    console->magnifier().refresh();
    console->goto_xy(column, row);
}

}
