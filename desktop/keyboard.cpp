// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard: keys, key combinations and typed text, synthesised on the desktop.
#include "desktop/keyboard.h"

#include "desktop/accent_table.h"

namespace desktop {

void Keyboard::press(uint16_t code_word, int count, bool release)
{
    int virtual_key = code_word & 0xFF;
    if (virtual_key == num_lock_key) {
        m_input.toggle_num_lock();
        return;
    }
    for (int time = 0; time < count; ++time) {
        m_input.send_key(virtual_key, true);
        if (release)
            m_input.send_key(virtual_key, false);
    }
}

void Keyboard::press_with_modifiers(uint16_t code_word, int count, bool release)
{
    if (code_word & shift_bit)
        press(shift_key, 1, false);
    if (code_word & ctrl_bit)
        press(ctrl_key, 1, false);
    if (code_word & alt_bit)
        press(alt_key, 1, false);
    press(code_word, count, release);
    if (code_word & shift_bit)
        m_input.send_key(shift_key, false);
    if (code_word & ctrl_bit)
        m_input.send_key(ctrl_key, false);
    if (code_word & alt_bit)
        m_input.send_key(alt_key, false);
}

void Keyboard::press_combination(int virtual_key, bool ctrl, bool shift, bool alt, int delay_ms)
{
    uint16_t code_word = static_cast<uint16_t>(virtual_key & 0xFF);
    if (ctrl)
        code_word |= ctrl_bit;
    if (shift)
        code_word |= shift_bit;
    if (alt)
        code_word |= alt_bit;
    press_with_modifiers(code_word, 1, true);
    m_pause(delay_ms);
}

void Keyboard::press_character_key(unsigned char character)
{
    if (character < 32 || character > 127) {
        type_character(character, 1);
        return;
    }
    auto code_word = m_input.key_code_word(character);
    if (!code_word) {
        m_input.type_unmapped_character(character);
        return;
    }
    int virtual_key = *code_word & 0xFF;
    m_input.send_key(virtual_key, true);
    m_pause(1);
    m_input.send_key(virtual_key, false);
    m_pause(1);
}

void Keyboard::type_printable(unsigned char character)
{
    if (auto code_word = m_input.key_code_word(character))
        press_with_modifiers(*code_word, 1, true);
    else
        m_input.type_unmapped_character(character);
}

void Keyboard::type_character(unsigned char character, int delay_ms)
{
    if (character < 32) {
        press_combination(character + 64, true, false, false, delay_ms);
    } else if (character < 128) {
        type_printable(character);
    } else {
        // An accented letter goes through its dead key where the keyboard
        // has one, as a person would type it. Where it has none, or has no
        // key for the letter, the character is typed as it is: a blank in
        // its place, or an accent alone, would change the text.
        auto accented = accented_key(character);
        auto dead_key = accented.dead_key ? m_input.dead_key_code_word(accented.dead_key) : std::nullopt;
        auto base_word = m_input.key_code_word(accented.base);
        if (dead_key && base_word) {
            press_with_modifiers(*dead_key, 1, true);
            press_with_modifiers(*base_word, 1, true);
        } else if (auto own_word = m_input.key_code_word(character)) {
            press_with_modifiers(*own_word, 1, true);
        } else {
            m_input.type_unmapped_character(character);
        }
    }
    m_pause(delay_ms);
}

void Keyboard::type_text(std::string_view text, int delay_ms)
{
    for (char character : text)
        type_character(static_cast<unsigned char>(character), delay_ms);
}

}
