// SPDX-License-Identifier: GPL-3.0-or-later
// SpeechPort: what statements say, spell and sound, and the waits for it.
#pragma once

#include <string_view>

namespace interpreter {

// The six values of SINTCONFIG. The mode is 0 for the built-in voice, 1 for
// an installed engine, 2 for whichever the settings choose; any other value
// of -1 is taken from the settings.
struct SynthesiserChoice {
    int mode = 0;
    int speed = -1;
    int engine_type = -1;
    int voice = -1;
    int engine_speed = -1;
    int pitch = -1;
};

// Implemented in speech/ over the speech output; a runtime without one
// speaks through a silent speech that only logs, so that no statement has
// to ask whether there is a voice.
class SpeechPort {
public:
    virtual ~SpeechPort() = default;

    // Hands the text to the speech output; returns without waiting.
    virtual void speak_text(std::string_view text) = 0;
    virtual void spell_text(std::string_view text) = 0;
    virtual void speak_char(char character) = 0;
    // A recorded sound by name ("_DEL"); returns without waiting.
    virtual void play_sound(std::string_view name) = 0;
    virtual void play_click() = 0;
    // Also discards every key waiting in the key queue.
    virtual void play_beep() = 0;
    virtual void stop_speech() = 0;
    // False once a key is waiting: the key cuts the speech off.
    virtual bool speech_busy() = 0;
    // Waits while the speech output is busy, keeping events flowing; a key
    // ends the wait and stays in the queue for its reader.
    virtual void wait_until_quiet() = 0;

    // The battery's charge, or the "_SEMBAT" cue when there is none.
    virtual void speak_battery() = 0;
    virtual void speak_time(int hours, int minutes) = 0;
    virtual void speak_date(int day, int month, int year) = 0;
    // Shuts the speech output down and starts it again at a speed level 1..9.
    virtual void restart_speech(int speed_level) = 0;
    // Stops the speech and speaks on with the voice and speed chosen.
    virtual void configure_synthesiser(const SynthesiserChoice& choice) = 0;
    // True when an installed speech engine speaks (whole rows are handed
    // over at once instead of word by word).
    virtual bool engine_active() = 0;
    // Whether the line editor speaks each character typed (F4 toggles it).
    virtual bool echo_typed() = 0;
    virtual void set_echo_typed(bool on) = 0;
};

}
