// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingHost: an interpreter host that records what a user would see and hear.
#include "tests/support/recording_host.h"

namespace test_support {

bool RecordingHost::speech_busy()
{
    if (busy_answers <= 0)
        return false;
    --busy_answers;
    return true;
}

void RecordingHost::play_beep()
{
    cues.emplace_back("beep");
    keys.clear();
}

uint8_t RecordingHost::read_key()
{
    if (keys.empty()) {
        ++missed_keys;
        return 13;
    }
    uint8_t key = keys.front();
    keys.pop_front();
    return key;
}

void RecordingHost::pause_ms(int milliseconds)
{
    if (milliseconds > 0)
        paused_ms += milliseconds;
}

void RecordingHost::push_keys(std::string_view text)
{
    for (char c : text)
        keys.push_back(static_cast<uint8_t>(c));
}

std::string RecordingHost::console_lines() const
{
    std::string lines;
    lines.reserve(console.size());
    for (size_t i = 0; i < console.size(); ++i) {
        if (console[i] == '\r' && i + 1 < console.size() && console[i + 1] == '\n')
            continue;
        lines += console[i];
    }
    return lines;
}

}
