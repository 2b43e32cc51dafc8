// SPDX-License-Identifier: GPL-3.0-or-later
// ClientSpeech: the speech client and its cues as the statements' speech port.
#pragma once

#include "interpreter/speech_port.h"

namespace settings {
class Settings;
}

namespace speech {

class EngineSession;
class SpeechClient;
class SpeechCues;

class ClientSpeech final : public interpreter::SpeechPort {
public:
    ClientSpeech(SpeechClient& client, SpeechCues& cues, EngineSession& engine, settings::Settings& settings)
        : m_client(client)
        , m_cues(cues)
        , m_engine(engine)
        , m_settings(settings)
    {
    }

    void speak_text(std::string_view text) override;
    void spell_text(std::string_view text) override;
    void speak_char(char character) override;
    void play_sound(std::string_view name) override;
    void play_click() override;
    void play_beep() override;
    void stop_speech() override;
    bool speech_busy() override;
    void wait_until_quiet() override;
    void speak_battery() override;
    void speak_time(int hours, int minutes) override;
    void speak_date(int day, int month, int year) override;
    void restart_speech(int speed_level) override;
    void configure_synthesiser(const interpreter::SynthesiserChoice& choice) override;
    bool engine_active() override;
    bool echo_typed() override;
    void set_echo_typed(bool on) override;

private:
    SpeechClient& m_client;
    SpeechCues& m_cues;
    EngineSession& m_engine;
    settings::Settings& m_settings;
    // Whether the line editor speaks typed characters back (its choice).
    bool m_echo_typed = true;
};

}
