// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalKeyDecoder: bytes typed on an xterm-like terminal turned into key events.
#include "platform/posix/terminal_key_decoder.h"

#include "base/text_encoding.h"

#include <array>
#include <charconv>

namespace platform {

namespace {

constexpr uint8_t escape_byte = 0x1B;
// A sequence longer than this is not one a terminal sends: it is dropped
// rather than buffered without end.
constexpr size_t longest_sequence = 64;

// The raw bit of caps lock in the terminal's modifier parameter.
constexpr int caps_lock_bit = 64;

// Codes of the kitty keyboard protocol for the keys it reports by number.
constexpr uint32_t kitty_keypad_first = 57399; // KP_0
constexpr uint32_t kitty_keypad_last = 57426; // KP_Delete
constexpr uint32_t kitty_modifier_first = 57441; // left Shift
constexpr uint32_t kitty_modifier_last = 57452; // right Meta
constexpr uint32_t kitty_pause = 57362;

// One field of a CSI parameter list: `a:b:c`, missing values are -1.
using Field = std::array<int, 3>;

std::vector<Field> parse_fields(std::string_view text)
{
    std::vector<Field> fields;
    Field field { -1, -1, -1 };
    size_t sub = 0;
    size_t start = 0;
    auto store = [&](size_t end) {
        int value = -1;
        if (end > start)
            std::from_chars(text.data() + start, text.data() + end, value);
        if (sub < field.size())
            field[sub] = value;
    };
    for (size_t i = 0; i <= text.size(); ++i) {
        char c = i < text.size() ? text[i] : ';';
        if (c == ':' || c == ';') {
            store(i);
            start = i + 1;
            ++sub;
            if (c == ';') {
                fields.push_back(field);
                field = { -1, -1, -1 };
                sub = 0;
            }
        }
    }
    return fields;
}

int field_value(const std::vector<Field>& fields, size_t index, size_t sub, int fallback)
{
    if (index >= fields.size() || fields[index][sub] < 0)
        return fallback;
    return fields[index][sub];
}

size_t utf8_length(uint8_t lead)
{
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0 && lead >= 0xC2)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The Windows-1252 byte of one UTF-8 character, or nothing when the code
// page has none (the converter's "?" for a character that is not "?").
std::optional<uint8_t> windows1252_byte(std::string_view utf8)
{
    auto converted = base::utf8_to_windows1252(utf8);
    if (converted.size() != 1)
        return std::nullopt;
    if (converted[0] == '?' && utf8 != "?")
        return std::nullopt;
    return static_cast<uint8_t>(converted[0]);
}

// Keys of `CSI n ~`.
std::optional<Key> tilde_key(int number)
{
    switch (number) {
    case 1:
    case 7:
        return Key::Home;
    case 2:
        return Key::Insert;
    case 3:
        return Key::Delete;
    case 4:
    case 8:
        return Key::End;
    case 5:
        return Key::PageUp;
    case 6:
        return Key::PageDown;
    case 11: case 12: case 13: case 14: case 15:
        return function_key(number - 10);
    case 17: case 18: case 19: case 20: case 21:
        return function_key(number - 11);
    case 23:
    case 24:
        return function_key(number - 12);
    default:
        return std::nullopt;
    }
}

// Keys of `CSI 1;m X` and `SS3 X`.
std::optional<Key> letter_final_key(char final_byte)
{
    switch (final_byte) {
    case 'A':
        return Key::Up;
    case 'B':
        return Key::Down;
    case 'C':
        return Key::Right;
    case 'D':
        return Key::Left;
    case 'H':
        return Key::Home;
    case 'F':
        return Key::End;
    case 'P':
        return Key::F1;
    case 'Q':
        return Key::F2;
    case 'R':
        return Key::F3;
    case 'S':
        return Key::F4;
    default:
        return std::nullopt;
    }
}

// The keypad keys of the kitty protocol, by their navigation meaning.
std::optional<Key> kitty_keypad_key(uint32_t code)
{
    constexpr std::array<Key, 10> navigation {
        Key::Left, Key::Right, Key::Up, Key::Down, Key::PageUp, Key::PageDown, Key::Home, Key::End, Key::Insert, Key::Delete,
    };
    if (code >= 57417 && code <= kitty_keypad_last)
        return navigation[code - 57417];
    if (code == 57414)
        return Key::Enter;
    return std::nullopt;
}

uint8_t kitty_modifier_bit(uint32_t code)
{
    // Left Shift, Ctrl, Alt, Super, Hyper, Meta, then the same on the right.
    switch ((code - kitty_modifier_first) % 6) {
    case 0:
        return modifier::shift;
    case 1:
        return modifier::ctrl;
    case 2:
        return modifier::alt;
    default:
        return 0;
    }
}

}

uint8_t terminal_modifiers(int parameter)
{
    if (parameter < 1)
        return 0;
    int bits = parameter - 1;
    uint8_t modifiers = 0;
    if (bits & 1)
        modifiers |= modifier::shift;
    if (bits & 2)
        modifiers |= modifier::alt;
    if (bits & 4)
        modifiers |= modifier::ctrl;
    // Meta is the Alt key on terminals that tell them apart.
    if (bits & 32)
        modifiers |= modifier::alt;
    return modifiers;
}

void TerminalKeyDecoder::feed(std::string_view bytes, std::vector<Event>& out)
{
    m_pending.append(bytes);
    size_t position = 0;
    while (position < m_pending.size()) {
        std::string_view rest(m_pending.data() + position, m_pending.size() - position);
        auto byte = static_cast<uint8_t>(rest[0]);
        size_t used = 0;
        if (byte == escape_byte)
            used = decode_escape(rest, out, false);
        else if (byte < 0x20 || byte == 0x7F) {
            decode_control(byte, 0, out);
            used = 1;
        } else {
            used = decode_text(rest, out, false);
        }
        if (used == 0)
            break;
        position += used;
    }
    m_pending.erase(0, position);
}

void TerminalKeyDecoder::flush(std::vector<Event>& out)
{
    bool broken_sequence = m_pending.size() > 2 && static_cast<uint8_t>(m_pending[0]) == escape_byte
        && (m_pending[1] == '[' || m_pending[1] == 'O');
    size_t position = broken_sequence ? m_pending.size() : 0;
    while (position < m_pending.size()) {
        std::string_view rest(m_pending.data() + position, m_pending.size() - position);
        if (static_cast<uint8_t>(rest[0]) == escape_byte)
            position += decode_escape(rest, out, true);
        else
            position += decode_text(rest, out, true);
    }
    m_pending.clear();
}

size_t TerminalKeyDecoder::decode_escape(std::string_view bytes, std::vector<Event>& out, bool at_end)
{
    if (bytes.size() < 2) {
        if (at_end)
            emit_key(Key::Escape, 0, out);
        return at_end ? 1 : 0;
    }
    auto second = static_cast<uint8_t>(bytes[1]);
    if (second == '[' && !at_end)
        return decode_csi(bytes, out);
    if (second == 'O' && !at_end) {
        if (bytes.size() < 3)
            return 0;
        char final_byte = bytes[2];
        if (final_byte == 'M')
            emit_key(Key::Enter, 0, out);
        else if (auto key = letter_final_key(final_byte))
            emit_key(*key, 0, out);
        return 3;
    }
    if (second == escape_byte) {
        // A doubled ESC is Esc pressed twice (or Alt+Esc): the first is a
        // key of its own and the second starts afresh.
        emit_key(Key::Escape, 0, out);
        return 1;
    }
    if (second < 0x20 || second == 0x7F) {
        decode_control(second, modifier::alt, out);
        return 2;
    }
    // Alt with a character: the key, with no character of its own.
    size_t length = utf8_length(second);
    if (length == 0)
        length = 1;
    if (bytes.size() < 1 + length)
        return at_end ? bytes.size() : 0;
    uint8_t modifiers = modifier::alt;
    Key key = Key::Other;
    if (second >= 'a' && second <= 'z') {
        key = letter_key(static_cast<char>(second - 'a' + 'A'));
    } else if (second >= 'A' && second <= 'Z') {
        key = letter_key(static_cast<char>(second));
        modifiers |= modifier::shift;
    } else if (second >= '0' && second <= '9') {
        key = digit_key(second - '0');
    } else if (second == ' ') {
        key = Key::Space;
    }
    emit_key(key, modifiers, out);
    return 1 + length;
}

size_t TerminalKeyDecoder::decode_csi(std::string_view bytes, std::vector<Event>& out)
{
    // The old X10 mouse report, for terminals without SGR reports: three
    // raw bytes follow `CSI M`.
    if (bytes.size() >= 3 && bytes[2] == 'M') {
        if (bytes.size() < 6)
            return 0;
        int button = static_cast<uint8_t>(bytes[3]) - 32;
        Event event;
        if (button & 64) {
            event.type = Event::Type::MouseWheel;
            event.wheel = (button & 1) ? -1 : 1;
            out.push_back(event);
        } else if ((button & 3) != 3 && !(button & 32)) {
            event.type = Event::Type::MouseButtonPress;
            event.button = (button & 3) == 0 ? MouseButton::Left : (button & 3) == 1 ? MouseButton::Middle : MouseButton::Right;
            out.push_back(event);
        }
        return 6;
    }
    for (size_t i = 2; i < bytes.size(); ++i) {
        auto byte = static_cast<uint8_t>(bytes[i]);
        if (byte >= 0x40 && byte <= 0x7E) {
            finish_csi(bytes.substr(2, i - 2), static_cast<char>(byte), out);
            return i + 1;
        }
        if (byte < 0x20 || byte > 0x7E) // not part of any sequence: drop what came so far
            return i;
        if (i >= longest_sequence)
            return i;
    }
    return 0;
}

void TerminalKeyDecoder::finish_csi(std::string_view parameters, char final_byte, std::vector<Event>& out)
{
    if (!parameters.empty() && parameters[0] == '?') {
        if (final_byte == 'u')
            m_saw_kitty_reply = true;
        else if (final_byte == 'c')
            m_saw_device_attributes = true;
        return;
    }
    if (!parameters.empty() && parameters[0] == '<') {
        auto fields = parse_fields(parameters.substr(1));
        int button = field_value(fields, 0, 0, -1);
        if (final_byte != 'M' || button < 0 || (button & 32))
            return; // releases and motion mean nothing to the console
        Event event;
        if (button & 64) {
            event.type = Event::Type::MouseWheel;
            event.wheel = (button & 1) ? -1 : 1;
        } else if ((button & 3) == 3) {
            return;
        } else {
            event.type = Event::Type::MouseButtonPress;
            event.button = (button & 3) == 0 ? MouseButton::Left : (button & 3) == 1 ? MouseButton::Middle : MouseButton::Right;
        }
        out.push_back(event);
        return;
    }
    if (!parameters.empty() && (parameters[0] < '0' || parameters[0] > ';'))
        return; // private replies (`>`, `=`) that no query of ours asks for
    auto fields = parse_fields(parameters);
    int modifier_parameter = field_value(fields, 1, 0, 1);
    uint8_t modifiers = terminal_modifiers(modifier_parameter);
    bool release = field_value(fields, 1, 1, 1) == 3;

    switch (final_byte) {
    case 'I':
    case 'O': {
        Event event;
        event.type = final_byte == 'I' ? Event::Type::FocusGained : Event::Type::FocusLost;
        out.push_back(event);
        return;
    }
    case 'Z':
        emit_key(Key::Tab, static_cast<uint8_t>(modifiers | modifier::shift), out, release);
        return;
    case '~': {
        int number = field_value(fields, 0, 0, -1);
        if (number == 27) {
            int code = field_value(fields, 2, 0, -1);
            if (code >= 0)
                emit_codepoint(static_cast<uint32_t>(code), modifiers, out, false);
            return;
        }
        if (auto key = tilde_key(number))
            emit_key(*key, modifiers, out, release);
        return;
    }
    case 'u': {
        int code = field_value(fields, 0, 0, -1);
        if (code < 0)
            return;
        auto unsigned_code = static_cast<uint32_t>(code);
        if (unsigned_code >= kitty_modifier_first && unsigned_code <= kitty_modifier_last) {
            uint8_t bit = kitty_modifier_bit(unsigned_code);
            if (release)
                m_modifiers = static_cast<uint8_t>(m_modifiers & ~bit);
            else
                m_modifiers = static_cast<uint8_t>(m_modifiers | bit);
            return;
        }
        if (unsigned_code >= kitty_keypad_first && unsigned_code <= kitty_keypad_last) {
            if (auto key = kitty_keypad_key(unsigned_code)) {
                emit_key(*key, modifiers, out, release);
            } else if (unsigned_code <= 57408) {
                emit_codepoint('0' + (unsigned_code - kitty_keypad_first), modifiers, out, release);
            }
            return;
        }
        if (unsigned_code == kitty_pause) {
            emit_key(Key::Break, modifiers, out, release);
            return;
        }
        if (unsigned_code >= 57344 && unsigned_code <= 63743)
            return; // other functional keys of the protocol (F13 on, media keys)
        int shifted = field_value(fields, 0, 1, -1);
        bool caps = modifier_parameter >= 1 && ((modifier_parameter - 1) & caps_lock_bit);
        if ((modifiers & modifier::shift) && shifted > 0)
            unsigned_code = static_cast<uint32_t>(shifted);
        else if (caps && unsigned_code >= 'a' && unsigned_code <= 'z')
            unsigned_code -= 'a' - 'A';
        emit_codepoint(unsigned_code, modifiers, out, release);
        return;
    }
    default:
        if (auto key = letter_final_key(final_byte))
            emit_key(*key, modifiers, out, release);
        return;
    }
}

size_t TerminalKeyDecoder::decode_text(std::string_view bytes, std::vector<Event>& out, bool at_end)
{
    auto lead = static_cast<uint8_t>(bytes[0]);
    size_t length = utf8_length(lead);
    if (length > 1 && bytes.size() < length && !at_end)
        return 0;
    // What stays incomplete when no more comes is not UTF-8: each byte
    // is then taken as it is, below.
    if (length > 1 && bytes.size() >= length) {
        bool valid = true;
        for (size_t i = 1; i < length; ++i)
            valid = valid && (static_cast<uint8_t>(bytes[i]) & 0xC0) == 0x80;
        if (valid) {
            if (auto byte = windows1252_byte(bytes.substr(0, length))) {
                emit_key(Key::Other, 0, out);
                Event event;
                event.type = Event::Type::Character;
                event.character = *byte;
                out.push_back(event);
            }
            return length;
        }
    }
    // ASCII, or a byte that is not UTF-8 (a terminal set to Latin-1): the
    // byte is taken as it is.
    emit_codepoint(lead, 0, out, false);
    return 1;
}

void TerminalKeyDecoder::decode_control(uint8_t byte, uint8_t modifiers, std::vector<Event>& out)
{
    switch (byte) {
    case 13:
        emit_key(Key::Enter, modifiers, out);
        return;
    case 10:
        // Only Ctrl+J or Ctrl+Enter send a line feed once the terminal no
        // longer maps Enter to one.
        emit_key(Key::Enter, static_cast<uint8_t>(modifiers | modifier::ctrl), out);
        return;
    case 9:
        emit_key(Key::Tab, modifiers, out);
        return;
    case 0x7F:
        emit_key(Key::Backspace, modifiers, out);
        return;
    case 0:
        emit_key(Key::Space, static_cast<uint8_t>(modifiers | modifier::ctrl), out);
        return;
    case 0x1C:
        // A terminal has no Break key; Ctrl+\, its traditional quit key,
        // stands in for Ctrl+Break.
        emit_key(Key::Break, static_cast<uint8_t>(modifiers | modifier::ctrl), out);
        return;
    default:
        break;
    }
    if (byte >= 1 && byte <= 26)
        emit_key(letter_key(static_cast<char>('A' + byte - 1)), static_cast<uint8_t>(modifiers | modifier::ctrl), out);
}

void TerminalKeyDecoder::emit_key(Key key, uint8_t modifiers, std::vector<Event>& out, bool release)
{
    Event event;
    event.type = release ? Event::Type::KeyRelease : Event::Type::KeyPress;
    event.key = key;
    event.modifiers = modifiers;
    out.push_back(event);
    if (!release)
        m_modifiers = modifiers;
}

void TerminalKeyDecoder::emit_codepoint(uint32_t codepoint, uint8_t modifiers, std::vector<Event>& out, bool release)
{
    switch (codepoint) {
    case 13:
        emit_key(Key::Enter, modifiers, out, release);
        return;
    case 9:
        emit_key(Key::Tab, modifiers, out, release);
        return;
    case 8:
    case 127:
        emit_key(Key::Backspace, modifiers, out, release);
        return;
    case 27:
        emit_key(Key::Escape, modifiers, out, release);
        return;
    default:
        break;
    }
    if (codepoint < 32)
        return;
    Key key = Key::Other;
    if (codepoint >= 'a' && codepoint <= 'z') {
        key = letter_key(static_cast<char>(codepoint - 'a' + 'A'));
    } else if (codepoint >= 'A' && codepoint <= 'Z') {
        key = letter_key(static_cast<char>(codepoint));
        modifiers |= modifier::shift;
    } else if (codepoint >= '0' && codepoint <= '9') {
        key = digit_key(static_cast<int>(codepoint - '0'));
    } else if (codepoint == ' ') {
        key = Key::Space;
    }
    emit_key(key, modifiers, out, release);
    if (release || (modifiers & (modifier::ctrl | modifier::alt)))
        return;
    if (auto byte = base::windows1252_byte(codepoint)) {
        Event event;
        event.type = Event::Type::Character;
        event.character = *byte;
        out.push_back(event);
    }
}

}
