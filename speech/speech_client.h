// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechClient: the speaker: texts, spelling, characters and sounds, through the built-in synthesiser or the engine session.
#pragma once

#include "speech/builtin_synthesiser.h"
#include "speech/engine_session.h"
#include "speech/speech_engine.h"

#include <cstdint>
#include <functional>
#include <span>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {
class Clock;
class PathMap;
}
namespace settings {
class Settings;
}

namespace audio {
class SoundOutput;
}

namespace speech {

class ConsolePort;
class SpeechLog;

enum class Gender { Masculine, Feminine };

class SpeechClient {
public:
    struct Parts {
        ConsolePort& port;
        audio::SoundOutput& wave;
        settings::Settings& settings;
        const platform::PathMap& paths;
        platform::Clock& clock;
        // The installed engine, shared with whoever asks about it.
        EngineSession& engine;
    };
    explicit SpeechClient(Parts parts);
    ~SpeechClient();
    SpeechClient(const SpeechClient&) = delete;
    SpeechClient& operator=(const SpeechClient&) = delete;

    // Requests are also written to the log (the lines of SpeechLog).
    void set_log(SpeechLog* log) { m_log = log; }
    // When set, a voice database that cannot be opened leaves the built-in
    // synthesiser silent instead of ending the program (test runs).
    void set_voice_optional(bool optional) { m_voice_optional = optional; }

    void init_speech(int speed, std::string_view script_sound_directory);
    void reconfigure_speech(int speed, bool use_engine, int type, int pitch, int engine_speed, int voice);
    void shutdown_speech();

    void speak_text(std::string_view text);
    void spell_text(std::string_view text);
    void speak_char(char c);
    void play_sound(std::string_view name);
    bool sound_exists(std::string_view name);
    void pause_ms(int milliseconds);
    void play_click();
    bool speech_busy();
    void stop_speech();
    // Waits while speech_busy, keeping events flowing.
    void wait_while_busy();

    int speed_level() const { return m_speed_level; }
    const std::string& script_sound_directory() const { return m_script_sound_dir; }
    // The voice's folder of letters and recorded words, as the settings
    // named it when speech started.
    const std::string& letters_directory() const { return m_letters_dir; }
    audio::SoundOutput& wave() { return m_wave; }

private:
    // Plays a built-in synthesiser's image and waits for its end.
    void play_wave_image(std::span<const uint8_t> image);
    void speak_builtin(std::string_view text);
    void play_number_words(std::string_view words, Gender gender);
    void spell(std::string_view text);
    void speak_character(char c);
    void play_named(std::string_view name);
    void punctuation(std::string_view text);
    void let_engine_finish();
    void play_samples_and_wait(const std::vector<uint8_t>& samples);
    void sleep_ms(int milliseconds);
    void load_speed(int level);
    void open_engine(const EngineChoice& choice);
    std::string sound_path(std::string_view name) const;
    bool file_exists(const std::string& windows_path) const;
    void log(std::string_view kind, std::string_view text);

    ConsolePort& m_port;
    audio::SoundOutput& m_wave;
    settings::Settings& m_settings;
    const platform::PathMap& m_paths;
    platform::Clock& m_clock;
    EngineSession& m_engine;
    SpeechLog* m_log = nullptr;

    BuiltinSynthesiser m_synth;
    bool m_voice_optional = false;
    int m_speed_level = 3;
    SpeedSettings m_speed;
    bool m_abort = false;
    std::string m_letters_dir;
    std::string m_named_sound_dir;
    std::string m_script_sound_dir;
    std::vector<uint8_t> m_click;
};

}
