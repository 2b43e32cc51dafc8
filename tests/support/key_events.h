// SPDX-License-Identifier: GPL-3.0-or-later
// Short names for keys and input events, as the key tables of the tests write them.
#pragma once

#include "platform/event_source.h"

#include <cstdint>
#include <string>

namespace test_support {

// "Enter", "PgUp", "F5", "Q", "7", ... ("Other" for the rest).
inline std::string key_name(platform::Key key)
{
    using platform::Key;
    static constexpr const char* named[] = { "None", "Enter", "Esc", "Tab", "Backspace", "Space", "Up", "Down",
        "Left", "Right", "Home", "End", "PgUp", "PgDn", "Ins", "Del", "Break" };
    int value = static_cast<int>(key);
    if (key <= Key::Break)
        return named[value];
    if (key >= Key::F1 && key <= Key::F12)
        return "F" + std::to_string(value - static_cast<int>(Key::F1) + 1);
    if (platform::is_letter_key(key))
        return std::string(1, static_cast<char>('A' + value - static_cast<int>(Key::A)));
    if (platform::is_digit_key(key))
        return std::string(1, static_cast<char>('0' + value - static_cast<int>(Key::Digit0)));
    return "Other";
}

// "+sca" for Shift, Ctrl and Alt held (the letters of those held, in that
// order); empty when none is.
inline std::string modifier_suffix(uint8_t modifiers)
{
    std::string suffix;
    if (modifiers & platform::modifier::shift)
        suffix += 's';
    if (modifiers & platform::modifier::ctrl)
        suffix += 'c';
    if (modifiers & platform::modifier::alt)
        suffix += 'a';
    return suffix.empty() ? suffix : "+" + suffix;
}

// "P:Ins+c" for a press, "R:..." for a release, "C:q" (or "C:13") for a
// character, "M:Left", "W:+1", "F+"/"F-" for focus, "X" for a close request.
inline std::string describe(const platform::Event& event)
{
    using platform::Event;
    switch (event.type) {
    case Event::Type::KeyPress:
        return "P:" + key_name(event.key) + modifier_suffix(event.modifiers);
    case Event::Type::KeyRelease:
        return "R:" + key_name(event.key) + modifier_suffix(event.modifiers);
    case Event::Type::Character:
        if (event.character > 32 && event.character < 127)
            return "C:" + std::string(1, static_cast<char>(event.character));
        return "C:" + std::to_string(event.character);
    case Event::Type::MouseButtonPress: {
        static constexpr const char* buttons[] = { "Left", "Right", "Middle" };
        return std::string("M:") + buttons[static_cast<int>(event.button)];
    }
    case Event::Type::MouseWheel:
        return std::string("W:") + (event.wheel > 0 ? "+" : "") + std::to_string(event.wheel);
    case Event::Type::FocusGained:
        return "F+";
    case Event::Type::FocusLost:
        return "F-";
    case Event::Type::CloseRequested:
        return "X";
    default:
        return "?";
    }
}

}
