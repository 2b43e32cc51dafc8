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

uint8_t RecordingHost::read_key_and_speak()
{
    uint8_t key = read_key();
    speak_char(static_cast<char>(key));
    return key;
}

void RecordingHost::speak_time(int hours, int minutes)
{
    cues.push_back("time: " + std::to_string(hours) + ":" + std::to_string(minutes));
}

void RecordingHost::speak_date(int day, int month, int year)
{
    cues.push_back("date: " + std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year));
}

void RecordingHost::pause_ms(int milliseconds)
{
    if (milliseconds > 0)
        paused_ms += milliseconds;
    if (on_pause)
        on_pause(milliseconds);
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
