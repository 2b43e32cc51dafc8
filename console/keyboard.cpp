// SPDX-License-Identifier: GPL-3.0-or-later
// Keyboard: turns key, character and mouse events into bytes of the key queue.
#include "console/keyboard.h"

#include <array>

namespace console {

using platform::Key;
namespace modifier = platform::modifier;

namespace {

struct ExtendedKey {
    Key key;
    uint8_t code;
    uint8_t with_ctrl;
};

constexpr std::array extended_keys {
    ExtendedKey { Key::F1, 59, 94 },
    ExtendedKey { Key::F2, 60, 95 },
    ExtendedKey { Key::F3, 61, 96 },
    ExtendedKey { Key::F4, 62, 97 },
    ExtendedKey { Key::F5, 63, 98 },
    ExtendedKey { Key::F6, 64, 99 },
    ExtendedKey { Key::F7, 65, 100 },
    ExtendedKey { Key::F8, 66, 101 },
    ExtendedKey { Key::F9, 67, 102 },
    ExtendedKey { Key::F10, 68, 103 },
    ExtendedKey { Key::F11, 69, 104 },
    ExtendedKey { Key::F12, 70, 105 },
    ExtendedKey { Key::Insert, 82, 255 },
    ExtendedKey { Key::Delete, 83, 83 },
    ExtendedKey { Key::Home, 71, 119 },
    ExtendedKey { Key::End, 79, 117 },
    ExtendedKey { Key::PageUp, 73, 132 },
    ExtendedKey { Key::PageDown, 81, 118 },
    ExtendedKey { Key::Up, 72, 113 },
    ExtendedKey { Key::Down, 80, 114 },
    ExtendedKey { Key::Left, 75, 115 },
    ExtendedKey { Key::Right, 77, 116 },
};

// Keyboard scan codes of the letters A..Z.
constexpr std::array<uint8_t, 26> letter_scan_codes {
    30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50, 49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44,
};

constexpr uint8_t shift_insert_code = 254;

}

Keyboard::Keyboard(KeyQueue& queue)
    : m_queue(queue)
{
}

std::optional<uint8_t> Keyboard::extended_code(Key key, uint8_t modifiers)
{
    for (const auto& entry : extended_keys) {
        if (entry.key != key)
            continue;
        if (modifiers & modifier::ctrl)
            return entry.with_ctrl;
        if (key == Key::Insert && (modifiers & modifier::shift))
            return shift_insert_code;
        return entry.code;
    }
    return std::nullopt;
}

std::optional<uint8_t> Keyboard::alt_code(Key key)
{
    if (platform::is_letter_key(key))
        return letter_scan_codes[static_cast<size_t>(static_cast<int>(key) - static_cast<int>(Key::A))];
    if (platform::is_digit_key(key)) {
        int digit = static_cast<int>(key) - static_cast<int>(Key::Digit0);
        return static_cast<uint8_t>(digit == 0 ? 129 : 119 + digit);
    }
    return std::nullopt;
}

std::optional<uint8_t> Keyboard::control_byte(Key key, uint8_t modifiers)
{
    bool ctrl = modifiers & modifier::ctrl;
    switch (key) {
    case Key::Enter:
        return ctrl ? 10 : 13;
    case Key::Backspace:
        return ctrl ? 127 : 8;
    case Key::Tab:
        return 9;
    case Key::Escape:
        return 27;
    default:
        break;
    }
    if (ctrl && !(modifiers & modifier::alt) && platform::is_letter_key(key))
        return static_cast<uint8_t>(static_cast<int>(key) - static_cast<int>(Key::A) + 1);
    return std::nullopt;
}

KeyPressOutcome Keyboard::key_press(Key key, uint8_t modifiers)
{
    KeyPressOutcome outcome;
    bool ctrl = modifiers & modifier::ctrl;
    if (key == Key::Break && ctrl && m_break_checking) {
        outcome.close = true;
        return outcome;
    }
    if (modifiers & modifier::alt) {
        if (ctrl && key == Key::F12) {
            outcome.braille_mode = 0;
            return outcome;
        }
        if (ctrl && key == Key::F11) {
            outcome.braille_mode = m_braille.next_mode();
            return outcome;
        }
        if (auto code = alt_code(key)) {
            m_queue.push_extended(*code);
            return outcome;
        }
    }
    if (!ctrl && m_braille.active() && BrailleKeyboard::dot_of(key) != 0) {
        m_braille.press(key);
        return outcome;
    }
    if (m_queue.count() > key_queue_capacity - 2)
        return outcome;
    if (auto code = extended_code(key, modifiers)) {
        m_queue.push_extended(*code);
        return outcome;
    }
    // The keys that make a control character give it here, as the
    // platform's character message would.
    if (auto byte = control_byte(key, modifiers))
        character(*byte);
    return outcome;
}

void Keyboard::key_release(Key key, uint8_t modifiers)
{
    if (!m_braille.active())
        return;
    auto made = m_braille.release(key, modifiers & modifier::ctrl);
    if (made && m_queue.count() <= key_queue_capacity - 1)
        m_queue.push(*made);
}

void Keyboard::character(uint8_t character)
{
    if (m_braille.active()) {
        bool letter = (character >= 'a' && character <= 'z') || (character >= 'A' && character <= 'Z');
        if (character == ' ' || letter)
            return;
    }
    m_queue.push(character);
}

bool Keyboard::swallow_mouse()
{
    if (!m_mouse_keys)
        return true;
    if (m_swallow_mouse) {
        m_swallow_mouse = false;
        return true;
    }
    return false;
}

void Keyboard::mouse_button(platform::MouseButton button)
{
    if (swallow_mouse())
        return;
    switch (button) {
    case platform::MouseButton::Left:
        m_queue.push(13);
        break;
    case platform::MouseButton::Right:
        m_queue.push(27);
        break;
    case platform::MouseButton::Middle:
        m_queue.push_extended(67);
        break;
    }
}

void Keyboard::mouse_wheel(int steps)
{
    if (steps == 0 || swallow_mouse())
        return;
    m_queue.push_extended(steps > 0 ? 72 : 80);
}

void Keyboard::focus_gained(bool button_down)
{
    if (button_down)
        m_swallow_mouse = true;
}

}
