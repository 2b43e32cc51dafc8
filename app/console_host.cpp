// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleHost: the interpreter's host over the console, the speech output and the clock.
#include "app/console_host.h"

#include "system/desktop_opener.h"

namespace app {

ConsoleHost::ConsoleHost(console::Console& console, speech::SpeechLog& speech, platform::Clock& clock)
    : m_console(console)
    , m_speech(speech)
    , m_clock(clock)
{
}

void ConsoleHost::speak_text(std::string_view text)
{
    if (m_client)
        m_client->speak_text(text);
    else
        m_speech.speak_text(text);
}

bool ConsoleHost::speech_busy()
{
    return m_client && m_client->speech_busy();
}

void ConsoleHost::play_click()
{
    if (m_client)
        m_client->play_click();
    else
        m_speech.play_sound(speech::click_log_name);
}

void ConsoleHost::play_beep()
{
    if (m_client) {
        m_client->play_beep();
    } else {
        m_speech.play_sound(speech::beep_log_name);
        m_console.discard_keys();
    }
}

void ConsoleHost::speak_char(char character)
{
    if (m_client)
        m_client->speak_char(character);
    else
        m_speech.speak_char(character);
}

void ConsoleHost::stop_speech()
{
    if (m_client)
        m_client->stop_speech();
}

void ConsoleHost::spell_text(std::string_view text)
{
    if (m_client)
        m_client->spell_text(text);
    else
        m_speech.spell_text(text);
}

void ConsoleHost::play_sound(std::string_view name)
{
    if (m_client)
        m_client->play_sound(name);
    else
        m_speech.play_sound(name);
}

uint8_t ConsoleHost::read_key_and_speak()
{
    if (m_client)
        return m_client->read_key_and_speak();
    return m_console.read_key();
}

void ConsoleHost::speak_battery()
{
    if (m_client)
        m_client->speak_battery();
}

void ConsoleHost::restart_speech(int speed_level)
{
    if (!m_client)
        return;
    // Shutting down forgets the folder of the script's sounds.
    std::string sounds = m_client->script_sound_directory();
    m_client->shutdown_speech();
    m_client->init_speech(speed_level, sounds);
}

void ConsoleHost::speak_time(int hours, int minutes)
{
    if (m_client)
        m_client->speak_time(hours, minutes);
}

void ConsoleHost::speak_date(int day, int month, int year)
{
    if (m_client)
        m_client->speak_date(day, month, year);
}

void ConsoleHost::set_echo_typed(bool on)
{
    if (m_client)
        m_client->echo_typed = on;
    else
        m_echo_typed = on;
}

bool ConsoleHost::open_document(std::string_view file, std::string_view parameter)
{
    if (!m_launcher || !m_paths)
        return false;
    return sys::open_with_desktop(*m_launcher, *m_paths, file, parameter);
}

interpreter::TimeOfDay ConsoleHost::local_time()
{
    auto now = m_clock.local_time();
    return { now.year, now.month, now.day, now.weekday, now.hour, now.minute, now.second, now.hundredths };
}

uint32_t ConsoleHost::random_seed()
{
    auto now = m_clock.local_time();
    return static_cast<uint32_t>(m_clock.monotonic_ms()) ^ static_cast<uint32_t>(now.second * 100 + now.hundredths)
        ^ static_cast<uint32_t>(now.minute << 16);
}

std::optional<std::string> ConsoleHost::read_line()
{
    if (!m_console.keys_may_come())
        return std::nullopt;
    return m_console.read_line();
}

}
