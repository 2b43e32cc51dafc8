// SPDX-License-Identifier: GPL-3.0-or-later
// The key notation of --keys and --keys-file, parsed into scripted keys.
#pragma once

#include "platform/event_source.h"
#include "base/result.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

// One scripted key: the events one user action makes (a press, its
// character, the release; a whole chord; a mouse click), and how long the
// program's clock must run after the previous key before it arrives on its
// own. Without a delay it arrives only when the program waits for a key.
struct ScriptedKey {
    std::vector<Event> events;
    bool timed = false;
    uint64_t delay_ms = 0;
};

// The notation: printable characters stand for themselves; names in braces
// stand for keys: {Enter} {Esc} {Tab} {Backspace} {Space} {Up} {Down}
// {Left} {Right} {Home} {End} {PgUp} {PgDn} {Ins} {Del} {F1}..{F12}
// {Break}, or a character, after modifiers joined with "+": {Ctrl+X}
// {Alt+1} {Ctrl+Shift+End} {Ctrl+Break}. "{{" is a literal "{".
// {Chord F+D+Space} presses the keys in order, then releases them in the
// same order (the braille chord keyboard). {Mouse Left|Right|Middle} clicks,
// {Wheel Up|Down} turns the wheel one step, {Close} closes the window.
// {Wait 500} makes the next key arrive by itself 500 ms of the program's
// clock after the one before it, even while the program is busy.
// Names are case-insensitive. Line ends in the text are ignored (a keys
// file may be split over lines). Text that is UTF-8 is converted to
// Windows-1252 first.
base::Result<std::vector<ScriptedKey>> parse_key_script(std::string_view text);

}
