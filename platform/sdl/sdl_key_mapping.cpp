// SPDX-License-Identifier: GPL-3.0-or-later
// SDL key mapping: SDL keyboard and text events as the event loop's events.
#include "platform/sdl/sdl_key_mapping.h"

#include "base/text_encoding.h"

#include <algorithm>
#include <array>
#include <utility>

namespace platform {

namespace {

constexpr std::array named_keys {
    std::pair { SDL_SCANCODE_RETURN, Key::Enter },
    std::pair { SDL_SCANCODE_KP_ENTER, Key::Enter },
    std::pair { SDL_SCANCODE_ESCAPE, Key::Escape },
    std::pair { SDL_SCANCODE_TAB, Key::Tab },
    std::pair { SDL_SCANCODE_BACKSPACE, Key::Backspace },
    std::pair { SDL_SCANCODE_SPACE, Key::Space },
    std::pair { SDL_SCANCODE_UP, Key::Up },
    std::pair { SDL_SCANCODE_DOWN, Key::Down },
    std::pair { SDL_SCANCODE_LEFT, Key::Left },
    std::pair { SDL_SCANCODE_RIGHT, Key::Right },
    std::pair { SDL_SCANCODE_HOME, Key::Home },
    std::pair { SDL_SCANCODE_END, Key::End },
    std::pair { SDL_SCANCODE_PAGEUP, Key::PageUp },
    std::pair { SDL_SCANCODE_PAGEDOWN, Key::PageDown },
    std::pair { SDL_SCANCODE_INSERT, Key::Insert },
    std::pair { SDL_SCANCODE_DELETE, Key::Delete },
    std::pair { SDL_SCANCODE_PAUSE, Key::Break },
};

// The keypad's second meaning, when Num Lock is off.
constexpr std::array keypad_keys {
    std::pair { SDL_SCANCODE_KP_8, Key::Up },
    std::pair { SDL_SCANCODE_KP_2, Key::Down },
    std::pair { SDL_SCANCODE_KP_4, Key::Left },
    std::pair { SDL_SCANCODE_KP_6, Key::Right },
    std::pair { SDL_SCANCODE_KP_7, Key::Home },
    std::pair { SDL_SCANCODE_KP_1, Key::End },
    std::pair { SDL_SCANCODE_KP_9, Key::PageUp },
    std::pair { SDL_SCANCODE_KP_3, Key::PageDown },
    std::pair { SDL_SCANCODE_KP_0, Key::Insert },
    std::pair { SDL_SCANCODE_KP_PERIOD, Key::Delete },
};

// Length of the UTF-8 sequence that starts with this byte (1 for a byte
// that cannot start one, so that it is skipped alone).
size_t sequence_length(uint8_t lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

}

Key key_of_scancode(SDL_Scancode scancode, uint16_t sdl_modifiers)
{
    if (scancode >= SDL_SCANCODE_A && scancode <= SDL_SCANCODE_Z)
        return letter_key(static_cast<char>('A' + (scancode - SDL_SCANCODE_A)));
    // SDL numbers the digit row 1..9 then 0.
    if (scancode >= SDL_SCANCODE_1 && scancode <= SDL_SCANCODE_9)
        return digit_key(1 + (scancode - SDL_SCANCODE_1));
    if (scancode == SDL_SCANCODE_0)
        return Key::Digit0;
    if (scancode >= SDL_SCANCODE_F1 && scancode <= SDL_SCANCODE_F12)
        return function_key(1 + (scancode - SDL_SCANCODE_F1));
    for (auto [code, key] : named_keys) {
        if (code == scancode)
            return key;
    }
    if (!(sdl_modifiers & KMOD_NUM)) {
        for (auto [code, key] : keypad_keys) {
            if (code == scancode)
                return key;
        }
    }
    return Key::Other;
}

uint8_t modifiers_of(uint16_t sdl_modifiers)
{
    uint8_t held = 0;
    if (sdl_modifiers & KMOD_SHIFT)
        held |= modifier::shift;
    if (sdl_modifiers & KMOD_CTRL)
        held |= modifier::ctrl;
    if (sdl_modifiers & (KMOD_ALT | KMOD_MODE))
        held |= modifier::alt;
    return held;
}

bool text_left_to_system(uint16_t sdl_modifiers)
{
    bool alt_gr = sdl_modifiers & (KMOD_RALT | KMOD_MODE);
    if (alt_gr)
        return false;
    return (sdl_modifiers & KMOD_LALT) || (sdl_modifiers & KMOD_CTRL);
}

std::string typed_characters(std::string_view utf8)
{
    std::string bytes;
    size_t at = 0;
    while (at < utf8.size()) {
        size_t length = std::min(sequence_length(static_cast<uint8_t>(utf8[at])), utf8.size() - at);
        auto one = utf8.substr(at, length);
        at += length;
        if (length == 1) {
            auto byte = static_cast<uint8_t>(one[0]);
            if (byte >= 32 && byte < 127)
                bytes += one;
            continue;
        }
        // U+0080..U+009F are control characters, even where the code page
        // reuses their numbers.
        bool c1_control = length == 2 && static_cast<uint8_t>(one[0]) == 0xC2 && static_cast<uint8_t>(one[1]) < 0xA0;
        if (c1_control || !base::is_multibyte_utf8(one))
            continue;
        auto converted = base::utf8_to_windows1252(one);
        // A character without a byte of its own comes back as "?": nothing
        // was typed that the program could read.
        if (converted.size() != 1 || converted == "?")
            continue;
        bytes += converted;
    }
    return bytes;
}

}
