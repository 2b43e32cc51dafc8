// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingPorts: fakes of the terminal, speech and world ports that record what a user would see and hear.
#include "tests/support/recording_ports.h"

namespace test_support {

bool RecordingPorts::speech_busy()
{
    if (busy_answers <= 0)
        return false;
    --busy_answers;
    return true;
}

void RecordingPorts::play_beep()
{
    cues.emplace_back("beep");
    keys.clear();
}

uint8_t RecordingPorts::read_key()
{
    if (keys.empty()) {
        ++missed_keys;
        return 13;
    }
    uint8_t key = keys.front();
    keys.pop_front();
    return key;
}

void RecordingPorts::wait_until_quiet()
{
    while (speech_busy() && !key_waiting())
        pause_ms(10);
}

bool RecordingPorts::open_document(std::string_view file, std::string_view parameter)
{
    cues.push_back("open: " + std::string(file) + "|" + std::string(parameter));
    return opens;
}

void RecordingPorts::speak_time(int hours, int minutes)
{
    cues.push_back("time: " + std::to_string(hours) + ":" + std::to_string(minutes));
}

void RecordingPorts::speak_date(int day, int month, int year)
{
    cues.push_back("date: " + std::to_string(day) + "/" + std::to_string(month) + "/" + std::to_string(year));
}

void RecordingPorts::pause_ms(int milliseconds)
{
    if (milliseconds > 0)
        paused_ms += milliseconds;
    if (on_pause)
        on_pause(milliseconds);
}

void RecordingPorts::push_keys(std::string_view text)
{
    for (char c : text)
        keys.push_back(static_cast<uint8_t>(c));
}

std::string RecordingPorts::console_lines() const
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
