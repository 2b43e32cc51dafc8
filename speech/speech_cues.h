// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechCues: the beep, number words, the battery, the time, the date and dial tones, from recordings.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace platform {
class PathMap;
}

namespace speech {

class ConsolePort;
class EngineSession;
class SpeechClient;
class SpeechLog;
enum class Gender;

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
    struct Parts {
        SpeechClient& speaker;
        EngineSession& engine;
        ConsolePort& port;
        const platform::PathMap& paths;
    };
    explicit SpeechCues(Parts parts)
        : m_speaker(parts.speaker)
        , m_engine(parts.engine)
        , m_port(parts.port)
        , m_paths(parts.paths)
        , m_beep(beep_sound())
    {
    }

    void set_power_reader(std::function<PowerReading()> reader) { m_power_reader = std::move(reader); }
    // The recordings played are also written to the log.
    void set_log(SpeechLog* log) { m_log = log; }

    // The battery's charge, or the "_SEMBAT" cue when there is none; then
    // "_SEMENER" when the mains are off.
    void speak_battery();
    // Recorded number words, hours and minutes.
    void speak_time(int hours, int minutes);
    void speak_date(int day, int month, int year);
    // Digits, "#" and "*" as telephone tones, at their recorded speed; a
    // comma is a pause of a second, anything else is skipped.
    void dial_tones(std::string_view text);
    // Number words (from number_to_words) from their recordings, joined
    // into as few waves as fit.
    void speak_number_words(std::string_view words, Gender gender);
    // The beep; keys typed before it are thrown away.
    void play_beep();

private:
    // A recording of the letters' folder ("dtmf_1"); returns without waiting.
    void play_letter_sound(std::string_view name);

    SpeechClient& m_speaker;
    EngineSession& m_engine;
    ConsolePort& m_port;
    const platform::PathMap& m_paths;
    SpeechLog* m_log = nullptr;
    std::vector<uint8_t> m_beep;
    std::function<PowerReading()> m_power_reader;
};

}
