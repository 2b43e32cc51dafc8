// SPDX-License-Identifier: GPL-3.0-or-later
// ConsoleHost: the interpreter's host over the console, the speech output and the clock.
#pragma once

#include "console/console.h"
#include "interpreter/host.h"
#include "platform/clock.h"
#include "platform/path_map.h"
#include "platform/process_launcher.h"
#include "speech/speech_client.h"
#include "speech/speech_log.h"

#include <optional>
#include <string>

namespace app {

class ConsoleHost final : public interpreter::Host {
public:
    ConsoleHost(console::Console& console, speech::SpeechLog& speech, platform::Clock& clock);

    void write_text(std::string_view text) override { m_console.write_chars(text); }
    void end_line() override { m_console.write_chars("\r\n"); }
    // Everything the program says goes through here: to the speech client
    // once it is attached (it logs each request too), else to the log only.
    void set_speech(speech::SpeechClient* client) { m_client = client; }
    void speak_text(std::string_view text) override;
    bool speech_busy() override;
    void play_click() override;
    void play_beep() override;
    void speak_char(char character) override;
    void stop_speech() override;
    void spell_text(std::string_view text) override;
    void play_sound(std::string_view name) override;
    uint8_t read_key_and_speak() override;
    void speak_battery() override;
    void restart_speech(int speed_level) override;
    void speak_time(int hours, int minutes) override;
    void speak_date(int day, int month, int year) override;
    bool engine_active() override { return m_client && m_client->engine_active(); }
    bool echo_typed() override { return m_client ? m_client->echo_typed : m_echo_typed; }
    void set_echo_typed(bool on) override;
    // Documents and links open through the launcher, with paths mapped.
    void set_document_opener(platform::ProcessLauncher* launcher, const platform::PathMap* paths)
    {
        m_launcher = launcher;
        m_paths = paths;
    }
    bool open_document(std::string_view file, std::string_view parameter) override;

    bool key_waiting() override { return m_console.key_pressed(); }
    uint8_t read_key() override { return m_console.read_key(); }
    void pause_ms(int milliseconds) override { m_console.loop().delay(milliseconds); }
    interpreter::TimeOfDay local_time() override;
    uint32_t random_seed() override;

    // A line the user ends with Enter; nothing when no key can come any
    // more (the scripted keys ran out), so the end report does not wait.
    std::optional<std::string> read_line();

    console::Console& console() { return m_console; }

private:
    console::Console& m_console;
    speech::SpeechLog& m_speech;
    speech::SpeechClient* m_client = nullptr;
    bool m_echo_typed = true;
    platform::ProcessLauncher* m_launcher = nullptr;
    const platform::PathMap* m_paths = nullptr;
    platform::Clock& m_clock;
};

}
