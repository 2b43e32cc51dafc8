// SPDX-License-Identifier: GPL-3.0-or-later
// BasicHost: the interpreter's host over a text console, the speech log and a clock.
#pragma once

#include "console/text_console.h"
#include "interpreter/host.h"
#include "platform/clock.h"
#include "speech/speech_log.h"

#include <cstdio>
#include <optional>
#include <string>

namespace app {

class BasicHost final : public interpreter::Host {
public:
    // `input` is where lines are read from; nullptr reads nothing (headless).
    BasicHost(console::TextConsole& console, speech::SpeechLog& speech, platform::Clock& clock, std::FILE* input);

    void write_text(std::string_view text) override { m_console.write_chars(text); }
    void end_line() override { m_console.end_line(); }
    void speak_text(std::string_view text) override { m_speech.speak_text(text); }
    bool speech_busy() override { return false; }
    bool key_waiting() override { return false; }
    uint8_t read_key() override;
    void pause_ms(int milliseconds) override;
    interpreter::TimeOfDay local_time() override;
    uint32_t random_seed() override;

    // One line typed by the user, without its end; nothing when input has
    // ended or there is none.
    std::optional<std::string> read_line();

    console::TextConsole& console() { return m_console; }

private:
    console::TextConsole& m_console;
    speech::SpeechLog& m_speech;
    platform::Clock& m_clock;
    std::FILE* m_input;
};

}
