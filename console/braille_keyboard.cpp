// SPDX-License-Identifier: GPL-3.0-or-later
// BrailleKeyboard: six keys of the ordinary keyboard played as a braille chord keyboard.
#include "console/braille_keyboard.h"

#include <array>

namespace console {

using platform::Key;

namespace {

constexpr uint8_t space_bit = 64;
constexpr uint8_t capital_sign = '{';
constexpr uint8_t number_sign = '#';

// Indexed by the dot bits: dot 1 = 1, dot 2 = 2, ... dot 6 = 32.
constexpr std::array<uint8_t, 64> dot_characters {
    ' ', 'a', ',', 'b', '\'', 'k', ';', 'l', '^', 'c', 'i', 'f', 0xED, 'm', 's', 'p',
    '~', 'e', ':', 'h', '*', 'o', '!', 'r', 0xAC, 'd', 'j', 'g', 0xE3, 'n', 't', 'q',
    0xFD, 0xE2, '?', 0xEA, '-', 'u', '"', 'v', '{', 0xEE, 0xF5, 0xE0, 0xF3, 'x', 0xE8, 0xE7,
    '$', 0xFB, 0xFF, 0xFC, '}', 'z', '=', 0xE1, '_', 0xF4, 'w', 0xEF, '#', 'y', 0xFA, 0xE9,
};

bool is_space_or_letter(Key key)
{
    return key == Key::Space || platform::is_letter_key(key);
}

}

uint8_t BrailleKeyboard::dot_of(Key key)
{
    switch (key) {
    case Key::F:
        return 1;
    case Key::D:
        return 2;
    case Key::S:
        return 4;
    case Key::J:
        return 8;
    case Key::K:
        return 16;
    case Key::L:
        return 32;
    case Key::Space:
        return space_bit;
    default:
        return 0;
    }
}

uint8_t BrailleKeyboard::character_of_dots(int dots)
{
    return dot_characters[static_cast<size_t>(dots & 63)];
}

std::vector<int> BrailleKeyboard::set_mode(int mode)
{
    if (mode > 2)
        mode = 1;
    if (mode < 0)
        mode = 0;
    int previous = m_mode;
    m_mode = mode;
    if (mode == 1)
        return { 800, 1600 };
    if (mode == 2)
        return { 800, 400 };
    m_chord = 0;
    m_held = 0;
    clear_mode_two_flags();
    if (previous != 0)
        return { 100 };
    return {};
}

void BrailleKeyboard::press(Key key)
{
    uint8_t dot = dot_of(key);
    m_chord |= dot;
    m_held |= dot;
}

void BrailleKeyboard::clear_mode_two_flags()
{
    m_capital_next = false;
    m_capitals_lock = false;
    m_number_mode = false;
}

std::optional<uint8_t> BrailleKeyboard::release(Key key, bool ctrl_down)
{
    if (!active())
        return std::nullopt;
    if (ctrl_down || !is_space_or_letter(key)) {
        clear_mode_two_flags();
        return std::nullopt;
    }
    m_held &= static_cast<uint8_t>(~dot_of(key));
    if (m_held != 0)
        return std::nullopt;
    // A letter that is not a chord key, released with no chord begun, is
    // not a chord: it would otherwise type the space of an empty chord.
    if (m_chord == 0)
        return std::nullopt;

    uint8_t dots = m_chord & 63;
    uint8_t character;
    if (!(m_chord & space_bit)) {
        character = character_of_dots(dots);
        if (m_mode == 2)
            character = apply_mode_two_rules(character);
    } else {
        clear_mode_two_flags();
        character = dots == 0 ? ' ' : static_cast<uint8_t>(character_of_dots(dots) % 32);
    }
    m_chord = 0;
    if (character == no_character)
        return std::nullopt;
    return character;
}

uint8_t BrailleKeyboard::apply_mode_two_rules(uint8_t character)
{
    if (character == '\'')
        character = '.';
    else if (character == 0xFB)
        character = '@';
    if (m_number_mode) {
        if (character >= 'a' && character <= 'i')
            character = static_cast<uint8_t>('1' + (character - 'a'));
        else if (character == 'j')
            character = '0';
        else if (character == '~')
            m_number_mode = false;
    }
    if ((m_capital_next || m_capitals_lock) && character >= 'a' && character <= 'z')
        character = static_cast<uint8_t>(character - 32);
    if (character == number_sign) {
        m_number_mode = true;
        return no_character;
    }
    if (character == capital_sign) {
        if (m_capital_next)
            m_capitals_lock = true;
        m_capital_next = true;
        return no_character;
    }
    m_capital_next = false;
    return character;
}

}
