// SPDX-License-Identifier: GPL-3.0-or-later
// RecordingPorts: fakes of the terminal, speech and world ports that record what a user would see and hear.
#pragma once

#include "interpreter/ports.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// One object behind all three ports, since a real key cuts the speech off
// and a real beep drops the waiting keys: the fakes share that state.
// Everything written to the console is appended to `console` (a line end is
// "\r\n"); every text given to speak_text is one entry of `speech`, and the
// other sounds are entries of `cues`. Keys come from a script given in
// advance; when it has run out, read_key answers Enter and counts the miss,
// so that no test and no fuzz input can ever block.
class RecordingPorts final : public interpreter::TerminalPort,
                             public interpreter::SpeechPort,
                             public interpreter::WorldPort {
public:
    interpreter::Ports as_ports() { return { *this, *this, *this }; }

    // Terminal.
    void write_text(std::string_view text) override { console.append(text); }
    void end_line() override { console.append("\r\n"); }
    bool key_waiting() override { return !keys.empty(); }
    uint8_t read_key() override;

    // Speech.
    void speak_text(std::string_view text) override { speech.emplace_back(text); }
    bool speech_busy() override;
    // Pauses in steps of 10 ms while speech_busy answers true and no key waits.
    void wait_until_quiet() override;
    void play_click() override { cues.emplace_back("click"); }
    // A beep discards the waiting keys, as the real one does.
    void play_beep() override;
    void speak_char(char character) override { cues.push_back(std::string("char: ") + character); }
    void stop_speech() override { cues.emplace_back("stop"); }
    void spell_text(std::string_view text) override { cues.push_back("spell: " + std::string(text)); }
    void play_sound(std::string_view name) override { cues.push_back("sound: " + std::string(name)); }
    void speak_battery() override { cues.emplace_back("battery"); }
    void restart_speech(int speed_level) override { cues.push_back("restart: " + std::to_string(speed_level)); }
    void configure_synthesiser(const interpreter::SynthesiserChoice& choice) override
    {
        cues.push_back("configure: " + std::to_string(choice.mode) + " " + std::to_string(choice.speed) + " "
            + std::to_string(choice.engine_type) + " " + std::to_string(choice.voice) + " "
            + std::to_string(choice.engine_speed) + " " + std::to_string(choice.pitch));
    }
    void speak_time(int hours, int minutes) override;
    void speak_date(int day, int month, int year) override;
    bool engine_active() override { return engine; }
    bool echo_typed() override { return echo; }
    void set_echo_typed(bool on) override { echo = on; }

    // World. Time passes at once: the clock moves on by the pause, and
    // `on_pause` (when set) lets a test's own devices move on by as much.
    void pause_ms(int milliseconds) override;
    interpreter::TimeOfDay local_time() override { return time; }
    uint32_t random_seed() override { return seed; }
    bool open_document(std::string_view file, std::string_view parameter) override;
    void look_at_events() override { ++event_looks; }

    // Queues the bytes of `text` as keys.
    void push_keys(std::string_view text);

    // The console text with "\r\n" turned into "\n", for readable expectations.
    std::string console_lines() const;

    std::string console;
    std::vector<std::string> speech;
    // The other sounds, in order: "click", "beep", "char: C", "stop",
    // "spell: TEXT", "sound: NAME", "battery", "restart: N", "time: H:M",
    // "date: D/M/Y", "open: FILE|PARAMETER".
    std::vector<std::string> cues;
    bool engine = false;
    bool echo = true;
    std::deque<uint8_t> keys;
    int missed_keys = 0;
    // How many more times speech_busy() answers true.
    int busy_answers = 0;
    int64_t paused_ms = 0;
    // How often the run loop looked at pending events.
    int event_looks = 0;
    std::function<void(int milliseconds)> on_pause;
    interpreter::TimeOfDay time;
    uint32_t seed = 12345;
    // What open_document answers.
    bool opens = false;
};

}
