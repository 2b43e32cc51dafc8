// SPDX-License-Identifier: GPL-3.0-or-later
// ReviewFixture: a runtime over a headless console whose speech logs every cue in order, for screen review tests.
#pragma once

#include "interpreter/command_table.h"
#include "console/console_terminal.h"
#include "interpreter/runtime.h"
#include "tests/console/console_fixture.h"
#include "tests/support/test_runtime.h"

#include <string>
#include <string_view>
#include <vector>

namespace console_test {

// Keys come from the console's scripted keys, one per wait as from a user,
// so that a beep's discarding of waiting keys cannot eat the keys a test
// types later. What is heard goes to one list in order ("say: TEXT",
// "spell: TEXT", "char: C", "sound: NAME", "beep", "click"), because the
// order of speech and cues is what screen review is about.
class ReviewPorts final : public interpreter::SpeechPort, public interpreter::WorldPort {
public:
    explicit ReviewPorts(console::Console& console)
        : m_console(console)
    {
    }

    void speak_text(std::string_view text) override
    {
        hear("say: " + std::string(text));
        interrupt_if_due();
    }
    bool speech_busy() override { return false; }
    void wait_until_quiet() override { }
    void stop_speech() override { }
    void play_click() override { hear("click"); }
    void play_beep() override
    {
        hear("beep");
        m_console.discard_keys();
    }
    void speak_char(char character) override { hear(std::string("char: ") + character); }
    void spell_text(std::string_view text) override
    {
        hear("spell: " + std::string(text));
        interrupt_if_due();
    }
    void play_sound(std::string_view name) override { hear("sound: " + std::string(name)); }
    void speak_battery() override { }
    void speak_time(int, int) override { }
    void speak_date(int, int, int) override { }
    void restart_speech(int) override { }
    void configure_synthesiser(const interpreter::SynthesiserChoice&) override { }
    bool engine_active() override { return engine; }
    bool echo_typed() override { return true; }
    void set_echo_typed(bool) override { }

    void pause_ms(int) override { }
    interpreter::TimeOfDay local_time() override { return {}; }
    uint32_t random_seed() override { return 1; }
    bool open_document(std::string_view, std::string_view) override { return false; }

    std::vector<std::string> heard;
    bool engine = false;
    // When set, the user presses `interrupting_key` while the text numbered
    // `interrupt_at` (from 1) is being spoken.
    int interrupt_at = 0;
    uint8_t interrupting_key = 'x';

private:
    // As from the speech client, nothing is heard once the end of the
    // program is asked for.
    void hear(std::string what)
    {
        if (!m_console.loop().end_requested())
            heard.push_back(std::move(what));
    }

    void interrupt_if_due()
    {
        if (interrupt_at > 0 && --interrupt_at == 0)
            m_console.push_key(interrupting_key);
    }

    console::Console& m_console;
};

class ReviewFixture : public ConsoleFixture {
public:
    explicit ReviewFixture(std::string_view keys = "")
        : ConsoleFixture(keys)
        , terminal(console)
        , ports(console)
        , runtime({ terminal, ports, ports }, commands)
    {
        runtime.subsystems.console = &console;
        runtime.subsystems.settings = &settings.settings;
    }

    // Writes `text` at a one-based place in an attribute, leaving the
    // console's own attribute as it was.
    void put(int column, int row, std::string_view text, uint8_t attribute = 0x0F)
    {
        uint8_t kept = console.attribute();
        console.goto_xy(column, row);
        console.set_attribute(attribute);
        console.write_chars(text);
        console.set_attribute(kept);
    }

    console::ConsoleTerminal terminal;
    ReviewPorts ports;
    test_support::ScratchSettings settings;
    interpreter::CommandTable commands;
    interpreter::Runtime runtime;
};

}
