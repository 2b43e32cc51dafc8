// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechCues: the battery, the time, the date and dial tones, told with the speaker's recordings.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace speech {

class SpeechClient;

// What power status the platform reports, for speak_battery.
struct PowerReading {
    bool has_battery = false;
    int percent = 0;
    int mains = 255; // 0 off line, 1 on line, 255 unknown
};

// The click and the beep, 8-bit mono samples at 11025 Hz.
std::vector<uint8_t> click_sound();
std::vector<uint8_t> beep_sound();

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
