// SPDX-License-Identifier: GPL-3.0-or-later
// The key notation of --keys and --keys-file, parsed into scripted keys.
#include "platform/headless/key_script.h"

#include "base/text_encoding.h"

#include <array>
#include <charconv>
#include <string>

namespace platform {

namespace {

struct NamedKey {
    std::string_view name;
    Key key;
};

constexpr std::array named_keys {
    NamedKey { "ENTER", Key::Enter },
    NamedKey { "ESC", Key::Escape },
    NamedKey { "ESCAPE", Key::Escape },
    NamedKey { "TAB", Key::Tab },
    NamedKey { "BACKSPACE", Key::Backspace },
    NamedKey { "SPACE", Key::Space },
    NamedKey { "UP", Key::Up },
    NamedKey { "DOWN", Key::Down },
    NamedKey { "LEFT", Key::Left },
    NamedKey { "RIGHT", Key::Right },
    NamedKey { "HOME", Key::Home },
    NamedKey { "END", Key::End },
    NamedKey { "PGUP", Key::PageUp },
    NamedKey { "PGDN", Key::PageDown },
    NamedKey { "INS", Key::Insert },
    NamedKey { "DEL", Key::Delete },
    NamedKey { "BREAK", Key::Break },
};

std::string upper_ascii(std::string_view text)
{
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return upper;
}

std::string_view trim(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return text;
}

Event key_event(Event::Type type, Key key, uint8_t modifiers)
{
    Event event;
    event.type = type;
    event.key = key;
    event.modifiers = modifiers;
    return event;
}

Event character_event(uint8_t character, uint8_t modifiers)
{
    Event event;
    event.type = Event::Type::Character;
    event.character = character;
    event.modifiers = modifiers;
    return event;
}

// The key that types a character, or Other.
Key key_of_character(uint8_t c)
{
    if (c >= 'a' && c <= 'z')
        return letter_key(static_cast<char>(c - 32));
    if (c >= 'A' && c <= 'Z')
        return letter_key(static_cast<char>(c));
    if (c >= '0' && c <= '9')
        return digit_key(c - '0');
    if (c == ' ')
        return Key::Space;
    return Key::Other;
}

// A key name or a single character; nothing when it is neither.
std::optional<Key> key_of_name(std::string_view name, uint8_t& character)
{
    character = 0;
    if (name.size() == 1) {
        character = static_cast<uint8_t>(name[0]);
        return key_of_character(character);
    }
    auto upper = upper_ascii(name);
    for (const auto& named : named_keys) {
        if (upper == named.name) {
            if (named.key == Key::Space)
                character = ' ';
            return named.key;
        }
    }
    if (upper.size() >= 2 && upper[0] == 'F') {
        int number = 0;
        auto [end, error] = std::from_chars(upper.data() + 1, upper.data() + upper.size(), number);
        if (error == std::errc() && end == upper.data() + upper.size() && number >= 1 && number <= 12)
            return function_key(number);
    }
    return std::nullopt;
}

// The events of one press: the press, its character (never with Ctrl or
// Alt held, and never for the keys whose byte the console makes from the
// press), the release.
void add_press(std::vector<Event>& events, Key key, uint8_t character, uint8_t modifiers)
{
    events.push_back(key_event(Event::Type::KeyPress, key, modifiers));
    bool types = character >= 32 && !(modifiers & (modifier::ctrl | modifier::alt));
    if (types) {
        uint8_t typed = character;
        if ((modifiers & modifier::shift) && typed >= 'a' && typed <= 'z')
            typed = static_cast<uint8_t>(typed - 32);
        events.push_back(character_event(typed, modifiers));
    }
    events.push_back(key_event(Event::Type::KeyRelease, key, modifiers));
}

base::Result<ScriptedKey> parse_chord(std::string_view keys, std::string_view whole)
{
    ScriptedKey scripted;
    std::vector<Key> pressed;
    while (!keys.empty()) {
        auto plus = keys.find('+');
        auto name = trim(keys.substr(0, plus));
        keys = plus == std::string_view::npos ? std::string_view() : keys.substr(plus + 1);
        uint8_t character = 0;
        auto key = key_of_name(name, character);
        if (!key || (*key != Key::Space && !is_letter_key(*key)))
            return base::Error { "a chord is made of letters and Space: '{" + std::string(whole) + "}'" };
        scripted.events.push_back(key_event(Event::Type::KeyPress, *key, 0));
        if (character >= 'A' && character <= 'Z')
            character = static_cast<uint8_t>(character + 32);
        scripted.events.push_back(character_event(character, 0));
        pressed.push_back(*key);
    }
    if (pressed.empty())
        return base::Error { "an empty chord: '{" + std::string(whole) + "}'" };
    for (Key key : pressed)
        scripted.events.push_back(key_event(Event::Type::KeyRelease, key, 0));
    return scripted;
}

// What is inside one pair of braces. Sets `wait_ms` instead for {Wait N}.
base::Result<ScriptedKey> parse_braced(std::string_view inside, std::optional<uint64_t>& wait_ms)
{
    auto upper = upper_ascii(inside);
    ScriptedKey scripted;
    if (upper.starts_with("WAIT ")) {
        auto number = trim(std::string_view(upper).substr(5));
        uint64_t value = 0;
        auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
        if (number.empty() || error != std::errc() || end != number.data() + number.size())
            return base::Error { "a wait needs a number of milliseconds: '{" + std::string(inside) + "}'" };
        wait_ms = value;
        return scripted;
    }
    if (upper.starts_with("CHORD "))
        return parse_chord(inside.substr(6), inside);
    if (upper.starts_with("MOUSE ") || upper.starts_with("WHEEL ")) {
        auto what = trim(std::string_view(upper).substr(6));
        Event event;
        if (upper[0] == 'M') {
            event.type = Event::Type::MouseButtonPress;
            if (what == "LEFT")
                event.button = MouseButton::Left;
            else if (what == "RIGHT")
                event.button = MouseButton::Right;
            else if (what == "MIDDLE")
                event.button = MouseButton::Middle;
            else
                return base::Error { "unknown mouse button: '{" + std::string(inside) + "}'" };
        } else {
            event.type = Event::Type::MouseWheel;
            if (what == "UP")
                event.wheel = 1;
            else if (what == "DOWN")
                event.wheel = -1;
            else
                return base::Error { "the wheel turns Up or Down: '{" + std::string(inside) + "}'" };
        }
        scripted.events.push_back(event);
        return scripted;
    }
    if (upper == "CLOSE") {
        Event event;
        event.type = Event::Type::CloseRequested;
        scripted.events.push_back(event);
        return scripted;
    }

    // Modifiers, then the key. A "+" key is written as the last "+" ({Ctrl++}).
    uint8_t modifiers = 0;
    std::string_view rest = inside;
    while (true) {
        auto plus = rest.find('+');
        if (plus == std::string_view::npos || plus + 1 >= rest.size())
            break;
        auto name = upper_ascii(trim(rest.substr(0, plus)));
        if (name == "CTRL")
            modifiers |= modifier::ctrl;
        else if (name == "ALT")
            modifiers |= modifier::alt;
        else if (name == "SHIFT")
            modifiers |= modifier::shift;
        else
            return base::Error { "unknown modifier '" + name + "' in '{" + std::string(inside) + "}'" };
        rest = rest.substr(plus + 1);
    }
    uint8_t character = 0;
    auto key = key_of_name(rest.size() == 1 ? rest : trim(rest), character);
    if (!key)
        return base::Error { "unknown key '{" + std::string(inside) + "}'" };
    add_press(scripted.events, *key, character, modifiers);
    return scripted;
}

}

base::Result<std::vector<ScriptedKey>> parse_key_script(std::string_view raw)
{
    std::string text = base::utf8_to_windows1252(raw);
    std::vector<ScriptedKey> keys;
    // The {Wait}s since the last key, added up for the next one. A flag and
    // a plain count rather than an optional: GCC's optimiser takes the
    // optional's value for possibly uninitialised (-Wmaybe-uninitialized).
    bool waiting = false;
    uint64_t waited_ms = 0;
    auto add = [&](ScriptedKey key) {
        if (waiting) {
            key.timed = true;
            key.delay_ms = waited_ms;
            waiting = false;
            waited_ms = 0;
        }
        keys.push_back(std::move(key));
    };
    for (size_t index = 0; index < text.size(); ++index) {
        uint8_t c = static_cast<uint8_t>(text[index]);
        if (c == '\r' || c == '\n')
            continue;
        if (c == '{' && index + 1 < text.size() && text[index + 1] == '{') {
            ++index;
        } else if (c == '{') {
            auto close = text.find('}', index + 1);
            if (close == std::string::npos)
                return base::Error { "a '{' without its '}' at position " + std::to_string(index + 1) };
            auto inside = std::string_view(text).substr(index + 1, close - index - 1);
            // "{}}" names the "}" key.
            if (inside.empty() && close + 1 < text.size() && text[close + 1] == '}') {
                inside = std::string_view(text).substr(close, 1);
                ++close;
            }
            index = close;
            std::optional<uint64_t> wait;
            auto parsed = parse_braced(inside, wait);
            if (!parsed)
                return parsed.error();
            if (wait) {
                waiting = true;
                waited_ms += *wait;
                continue;
            }
            add(std::move(*parsed));
            continue;
        }
        if (c < 32)
            return base::Error { "a control character in the keys at position " + std::to_string(index + 1) + ": use a {name}" };
        ScriptedKey key;
        uint8_t modifiers = (c >= 'A' && c <= 'Z') ? modifier::shift : 0;
        add_press(key.events, key_of_character(c), c, modifiers);
        add(std::move(key));
    }
    if (waiting)
        return base::Error { "a {Wait} with no key after it" };
    return keys;
}

}
