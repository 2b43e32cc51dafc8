// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard: keys, key combinations and typed text, synthesised on the desktop.
#pragma once

#include "platform/desktop_input.h"

#include <cstdint>
#include <functional>
#include <string_view>

namespace desktop {

constexpr uint16_t shift_bit = 0x100;
constexpr uint16_t ctrl_bit = 0x200;
constexpr uint16_t alt_bit = 0x400;

constexpr int shift_key = 16;
constexpr int ctrl_key = 17;
constexpr int alt_key = 18;
constexpr int enter_key = 13;
constexpr int num_lock_key = 144;

// The typing of the desktop commands, over a desktop's keys. Pauses go
// through `pause` so that a run with a virtual clock does not wait.
class Keyboard {
public:
    using Pause = std::function<void(int milliseconds)>;

    Keyboard(platform::DesktopInput& input, Pause pause)
        : m_input(input)
        , m_pause(std::move(pause))
    {
    }

    // The key of `code_word` (count times down, and up after each when
    // `release`); NumLock flips the keyboard's NumLock state instead.
    void press(uint16_t code_word, int count, bool release);
    // The same with the modifiers of the high byte held around the key.
    void press_with_modifiers(uint16_t code_word, int count, bool release);
    void press_combination(int virtual_key, bool ctrl, bool shift, bool alt, int delay_ms);
    // The key of a character alone, without its modifiers (ACIONA with one
    // character); characters without a plain key are typed instead.
    void press_character_key(unsigned char character);
    void type_character(unsigned char character, int delay_ms);
    void type_text(std::string_view text, int delay_ms);

private:
    // The key that types a printable character with its modifiers, or the
    // character as it is when no key types it.
    void type_printable(unsigned char character);

    platform::DesktopInput& m_input;
    Pause m_pause;
};

}
