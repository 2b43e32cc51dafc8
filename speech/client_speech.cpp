// SPDX-License-Identifier: GPL-3.0-or-later
// ClientSpeech: the speech client and its cues as the statements' speech port.
#include "speech/client_speech.h"

#include "interpreter/text.h"
#include "settings/setting_keys.h"
#include "settings/settings.h"
#include "speech/engine_session.h"
#include "speech/speech_client.h"
#include "speech/speech_cues.h"

#include <string>

namespace speech {

void ClientSpeech::speak_text(std::string_view text) { m_client.speak_text(text); }
void ClientSpeech::spell_text(std::string_view text) { m_client.spell_text(text); }
void ClientSpeech::speak_char(char character) { m_client.speak_char(character); }
void ClientSpeech::play_sound(std::string_view name) { m_client.play_sound(name); }
void ClientSpeech::play_click() { m_client.play_click(); }
void ClientSpeech::play_beep() { m_cues.play_beep(); }
void ClientSpeech::stop_speech() { m_client.stop_speech(); }
bool ClientSpeech::speech_busy() { return m_client.speech_busy(); }
void ClientSpeech::wait_until_quiet() { m_client.wait_while_busy(); }
void ClientSpeech::speak_battery() { m_cues.speak_battery(); }
void ClientSpeech::speak_time(int hours, int minutes) { m_cues.speak_time(hours, minutes); }
void ClientSpeech::speak_date(int day, int month, int year) { m_cues.speak_date(day, month, year); }
bool ClientSpeech::engine_active() { return m_engine.is_open(); }
bool ClientSpeech::echo_typed() { return m_echo_typed; }
void ClientSpeech::set_echo_typed(bool on) { m_echo_typed = on; }

void ClientSpeech::restart_speech(int speed_level)
{
    // Shutting down forgets the folder of the script's sounds.
    std::string sounds = m_client.script_sound_directory();
    m_client.shutdown_speech();
    m_client.init_speech(speed_level, sounds);
}

void ClientSpeech::configure_synthesiser(const interpreter::SynthesiserChoice& choice)
{
    bool engine = choice.mode == 1;
    if (choice.mode == 2)
        engine = settings::uses_installed_engine(m_settings)
            && interpreter::upper_byte(m_settings.read_setting("TRADUTOR", "SAPI")[0]) == 'S';
    int speed = choice.speed == -1 ? settings::speech_speed(m_settings) : choice.speed;
    int type = choice.engine_type == -1 ? settings::engine_type(m_settings) : choice.engine_type;
    int voice = choice.voice == -1 ? settings::engine_voice(m_settings) : choice.voice;
    int engine_speed = choice.engine_speed == -1 ? settings::engine_speed(m_settings) : choice.engine_speed;
    int pitch = choice.pitch == -1 ? settings::engine_pitch(m_settings) : choice.pitch;
    m_client.reconfigure_speech(speed, engine, type, pitch, engine_speed, voice);
}

}
