// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechCues: the beep, number words, the battery, the time, the date and dial tones, from recordings.
#include "speech/speech_cues.h"

#include "audio/wave_output.h"
#include "interpreter/text.h"
#include "speech/console_port.h"
#include "speech/engine_session.h"
#include "speech/recorded_words.h"
#include "speech/speech_client.h"
#include "speech/speech_log.h"

#include <string>

namespace speech {

namespace {

constexpr int tone_gap_ms = 100;
constexpr int comma_pause_ms = 1000;
constexpr int click_samples = 256;
constexpr int click_noisy_samples = 64;
constexpr int beep_samples = 512;

}

std::vector<uint8_t> click_sound()
{
    // The click is a short burst of noise; the generator only has to be
    // different from silence, so a fixed seed keeps runs reproducible.
    uint32_t state = 0x9E3779B9u;
    std::vector<uint8_t> click(click_samples, 128);
    for (int i = 0; i < click_noisy_samples; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        click[static_cast<size_t>(i)] = static_cast<uint8_t>(128 + state % 60);
    }
    return click;
}

std::vector<uint8_t> beep_sound()
{
    constexpr uint8_t period[8] = { 128, 112, 96, 80, 64, 80, 96, 112 };
    std::vector<uint8_t> beep(beep_samples);
    for (int i = 0; i < beep_samples; ++i)
        beep[static_cast<size_t>(i)] = period[i % 8];
    beep.back() = 128;
    return beep;
}

void SpeechCues::speak_battery()
{
    PowerReading power;
    if (m_power_reader)
        power = m_power_reader();
    if (!power.has_battery)
        m_speaker.play_sound("_SEMBAT");
    else
        m_speaker.speak_text(std::to_string(power.percent) + "%");
    if (power.mains == 0)
        m_speaker.play_sound("_SEMENER");
}

void SpeechCues::speak_time(int hours, int minutes)
{
    for (const auto& name : time_sound_names(hours, minutes)) {
        if (name.starts_with("#f"))
            speak_number_words(std::string_view(name).substr(2), Gender::Feminine);
        else if (name.starts_with("#"))
            speak_number_words(std::string_view(name).substr(1), Gender::Masculine);
        else
            m_speaker.play_sound(name);
    }
}

void SpeechCues::speak_date(int day, int month, int year)
{
    for (const auto& name : date_sound_names(day, month, year)) {
        if (name.starts_with("#"))
            speak_number_words(std::string_view(name).substr(1), Gender::Masculine);
        else
            m_speaker.play_sound(name);
    }
}

void SpeechCues::dial_tones(std::string_view text)
{
    // The tones keep their length whatever the speed level says.
    auto& wave = m_speaker.wave();
    bool fast = wave.fast_playback;
    wave.fast_playback = false;
    for (char c : text) {
        c = interpreter::upper_byte(c);
        if (c == '#' || c == '*' || interpreter::is_digit(c)) {
            play_letter_sound(std::string("dtmf_") + (c == '*' ? 'X' : c));
            m_speaker.wait_while_busy();
            m_speaker.pause_ms(tone_gap_ms);
        } else if (c == ',') {
            m_speaker.pause_ms(comma_pause_ms);
        }
    }
    wave.fast_playback = fast;
}

void SpeechCues::speak_number_words(std::string_view words, Gender gender)
{
    auto names = number_sound_names(words, gender);
    if (m_log) {
        for (const auto& name : names)
            m_log->play_sound(name);
    }
    play_joined_recordings(m_paths, m_speaker.letters_directory(), names, [this](std::span<const uint8_t> image) {
        m_engine.wait_after_speech([this] { m_speaker.wait_while_busy(); });
        m_speaker.wave().play_wave_image(image);
        m_speaker.wait_while_busy();
    });
}

void SpeechCues::play_letter_sound(std::string_view name)
{
    m_engine.wait_after_speech([this] { m_speaker.wait_while_busy(); });
    m_speaker.wave().play_wave_file(m_speaker.letters_directory() + std::string(name) + ".wav");
}

void SpeechCues::play_beep()
{
    if (m_port.program_ending())
        return;
    if (m_log)
        m_log->play_sound(beep_log_name);
    m_engine.wait_after_speech([this] { m_speaker.wait_while_busy(); });
    m_port.discard_keys();
    m_speaker.wave().play_samples(m_beep, 11025, 1, 8);
    m_speaker.wait_while_busy();
}

}
