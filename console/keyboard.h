// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard: turns key, character and mouse events into bytes of the key queue.
#pragma once

#include "console/braille_keyboard.h"
#include "console/key_queue.h"
#include "platform/event_source.h"

#include <optional>

namespace console {

// What the console must do after a key press besides queueing bytes.
struct KeyPressOutcome {
    bool close = false; // Ctrl+Break while break checking is on
    std::optional<int> braille_mode; // Ctrl+Alt+F12 / Ctrl+Alt+F11
};

// The key encoding that scripts see: characters as their Windows-1252
// byte, Enter 13 (Ctrl: 10), Backspace 8 (Ctrl: 127), Tab 9, Esc 27,
// Ctrl with a letter 1..26, and keys without a character as 0 and a code
// (with Ctrl and Shift variants); Alt with a letter or digit gives 0 and
// its scan code.
class Keyboard {
public:
    explicit Keyboard(KeyQueue& queue);

    KeyPressOutcome key_press(platform::Key key, uint8_t modifiers);
    void key_release(platform::Key key, uint8_t modifiers);
    void character(uint8_t character);
    void mouse_button(platform::MouseButton button);
    void mouse_wheel(int steps);
    void focus_gained(bool button_down);

    BrailleKeyboard& braille() { return m_braille; }
    void set_break_checking(bool on) { m_break_checking = on; }
    bool break_checking() const { return m_break_checking; }
    void set_mouse_keys(bool on) { m_mouse_keys = on; }

    // The code after 0 of a key without a character, or nothing.
    static std::optional<uint8_t> extended_code(platform::Key key, uint8_t modifiers);
    // The code after 0 for Alt with a letter or digit, or nothing.
    static std::optional<uint8_t> alt_code(platform::Key key);
    // The byte a key makes by itself (Enter, Backspace, Tab, Esc, Ctrl with
    // a letter), or nothing.
    static std::optional<uint8_t> control_byte(platform::Key key, uint8_t modifiers);

private:
    // Whether a mouse event should be dropped (the one after a focus change).
    bool swallow_mouse();

    KeyQueue& m_queue;
    BrailleKeyboard m_braille;
    bool m_break_checking = true;
    bool m_mouse_keys = true;
    bool m_swallow_mouse = false;
};

}
