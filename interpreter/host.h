// SPDX-License-Identifier: GPL-3.0-or-later
// Host: what the interpreter needs from the console, the speech output and the clock.
#pragma once

#include <cstdint>
#include <string_view>

namespace interpreter {

struct TimeOfDay {
    int year = 2000;
    int month = 1;
    int day = 1;
    int weekday = 6; // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
    int hundredths = 0;
};

// The interpreter and the console commands of the core reach the world only
// through this interface; app/ implements it over the console, the speech
// client and the clock, and tests implement it with recorders.
class Host {
public:
    virtual ~Host() = default;

    // Writes bytes at the console's cursor; CR and LF are control bytes.
    virtual void write_text(std::string_view text) = 0;
    // Ends the console line (CR LF).
    virtual void end_line() = 0;
    // Hands the text to the speech output; returns without waiting.
    virtual void speak_text(std::string_view text) = 0;
    virtual bool speech_busy() = 0;
    // The speech cues and controls the console commands use; a host without
    // sound (a test's recorder) keeps these defaults, which do nothing.
    virtual void play_click() { }
    // Also discards every key waiting in the key queue.
    virtual void play_beep() { }
    virtual void speak_char(char character) { }
    virtual void stop_speech() { }
    // The speech operations of the line editor, screen review and menus.
    virtual void spell_text(std::string_view text) { }
    // A recorded sound by name ("_DEL"); returns without waiting.
    virtual void play_sound(std::string_view name) { }
    // Reads a key and speaks it (the digit of a speed level, a letter).
    virtual uint8_t read_key_and_speak() { return read_key(); }
    // The battery's charge, or the "_SEMBAT" cue when there is none.
    virtual void speak_battery() { }
    // Shuts the speech output down and starts it again at a speed level 1..9.
    virtual void restart_speech(int speed_level) { }
    virtual void speak_time(int hours, int minutes) { }
    virtual void speak_date(int day, int month, int year) { }
    // True when an installed speech engine speaks (whole rows are handed
    // over at once instead of word by word).
    virtual bool engine_active() { return false; }
    // Whether the line editor speaks each character typed (F4 toggles it).
    virtual bool echo_typed() { return true; }
    virtual void set_echo_typed(bool on) { }
    // Opens a program or a document the Windows way (the shell's "open"):
    // a program file is started with `parameter`, a document or a link goes
    // to the desktop's opener. Both are script text (Windows-1252, Windows
    // paths). False when nothing could be started.
    virtual bool open_document(std::string_view file, std::string_view parameter) { return false; }
    // True when a key is waiting in the key queue; never takes it.
    virtual bool key_waiting() = 0;
    // Waits for a key and takes it from the queue: a byte of the key
    // encoding (0 is followed by a second byte for keys without a character).
    virtual uint8_t read_key() = 0;
    // Lets `milliseconds` pass while pending events are dispatched.
    virtual void pause_ms(int milliseconds) = 0;
    virtual TimeOfDay local_time() = 0;
    // A seed for the random number generator that changes from run to run.
    virtual uint32_t random_seed() = 0;
};

}
