// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingPorts: ports for network tests that record the console and speech and replay keys.
#pragma once

#include "interpreter/ports.h"

#include <deque>
#include <string>
#include <vector>

namespace net_tests {

class RecordingPorts final : public interpreter::TerminalPort,
                             public interpreter::SpeechPort,
                             public interpreter::WorldPort {
public:
    interpreter::Ports as_ports() { return { *this, *this, *this }; }

    void write_text(std::string_view text) override { console += text; }
    void end_line() override { console += "\n"; }
    bool key_waiting() override
    {
        ++pumps;
        // A key becomes visible only after some pumps, so that it arrives
        // in the middle of a wait as a real key press would.
        return !keys.empty() && pumps >= key_after_pumps;
    }
    uint8_t read_key() override
    {
        if (keys.empty())
            return 13;
        uint8_t key = keys.front();
        keys.pop_front();
        return key;
    }

    void speak_text(std::string_view text) override { spoken.emplace_back(text); }
    void spell_text(std::string_view) override { }
    void speak_char(char) override { }
    void play_sound(std::string_view) override { }
    void play_click() override { }
    void play_beep() override { }
    void stop_speech() override { }
    bool speech_busy() override { return false; }
    void wait_until_quiet() override { }
    void speak_battery() override { }
    void speak_time(int, int) override { }
    void speak_date(int, int, int) override { }
    void restart_speech(int) override { }
    void configure_synthesiser(const interpreter::SynthesiserChoice&) override { }
    bool engine_active() override { return false; }
    bool echo_typed() override { return true; }
    void set_echo_typed(bool) override { }

    void pause_ms(int milliseconds) override { paused_ms += milliseconds; }
    interpreter::TimeOfDay local_time() override { return {}; }
    uint32_t random_seed() override { return 1; }
    bool open_document(std::string_view, std::string_view) override { return false; }

    std::string console;
    std::vector<std::string> spoken;
    std::deque<uint8_t> keys;
    int key_after_pumps = 0;
    long pumps = 0;
    long paused_ms = 0;
};

}
