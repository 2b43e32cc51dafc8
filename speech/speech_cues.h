// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechCues: the battery, the time, the date and dial tones, told with the speaker's recordings.
#pragma once

#include <functional>
#include <string_view>

namespace speech {

class SpeechClient;

// What power status the platform reports, for speak_battery.
struct PowerReading {
    bool has_battery = false;
    int percent = 0;
    int mains = 255; // 0 off line, 1 on line, 255 unknown
};

class SpeechCues {
public:
    explicit SpeechCues(SpeechClient& speaker)
        : m_speaker(speaker)
    {
    }

    void set_power_reader(std::function<PowerReading()> reader) { m_power_reader = std::move(reader); }

    // The battery's charge, or the "_SEMBAT" cue when there is none; then
    // "_SEMENER" when the mains are off.
    void speak_battery();
    // Recorded number words, hours and minutes.
    void speak_time(int hours, int minutes);
    void speak_date(int day, int month, int year);
    // Digits, "#" and "*" as telephone tones, at their recorded speed; a
    // comma is a pause of a second, anything else is skipped.
    void dial_tones(std::string_view text);

private:
    SpeechClient& m_speaker;
    std::function<PowerReading()> m_power_reader;
};

}
