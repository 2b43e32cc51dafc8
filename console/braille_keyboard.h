// SPDX-License-Identifier: GPL-3.0-or-later
// BrailleKeyboard: six keys of the ordinary keyboard played as a braille chord keyboard.
#pragma once

#include "platform/event_source.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace console {

// F D S J K L are dots 1 to 6 and the space bar adds the space bit. A chord
// becomes a character when its last key is released. Mode 0 is off, mode 1
// gives the characters of the dot table, mode 2 adds the capital sign and
// the number sign.
class BrailleKeyboard {
public:
    static constexpr uint8_t no_character = 254;

    int mode() const { return m_mode; }
    // Sets the mode (above 2 counts as 1) and returns the tones, in hertz,
    // that announce it: 800 and 1600 for mode 1, 800 and 400 for mode 2,
    // 100 when switching off from another mode. Switching off clears the chord.
    std::vector<int> set_mode(int mode);
    // The mode Ctrl+Alt+F11 moves to: 0 to 1, 1 to 2, 2 to 1.
    int next_mode() const { return m_mode == 1 ? 2 : 1; }
    bool active() const { return m_mode == 1 || m_mode == 2; }

    // The dot (or the space bit) of a chord key; 0 for any other key.
    static uint8_t dot_of(platform::Key key);
    // The character of the dots, from the table of 64.
    static uint8_t character_of_dots(int dots);

    // A chord key went down (the caller has checked the mode and that Ctrl
    // is up).
    void press(platform::Key key);
    // A key went up; the character the chord makes when this was its last
    // key held, or nothing.
    std::optional<uint8_t> release(platform::Key key, bool ctrl_down);

private:
    uint8_t apply_mode_two_rules(uint8_t character);
    void clear_mode_two_flags();

    int m_mode = 0;
    uint8_t m_chord = 0;
    uint8_t m_held = 0;
    bool m_capital_next = false;
    bool m_capitals_lock = false;
    bool m_number_mode = false;
};

}
