// SPDX-License-Identifier: GPL-3.0-or-later
// X11Keymap: the keyboard mapping of an X server, seen through Windows virtual keys.
#include "platform/x11/x11_keymap.h"

namespace platform {

namespace {

constexpr KeySymbol no_symbol = 0;

struct NamedVirtualKey {
    int virtual_key;
    KeySymbol symbol;
};

// Keys that carry their meaning in their keysym.
constexpr NamedVirtualKey named_virtual_keys[] = {
    { 8, 0xff08 }, { 9, 0xff09 }, { 13, 0xff0d }, { 16, 0xffe1 }, { 17, 0xffe3 }, { 18, 0xffe9 }, { 19, 0xff13 },
    { 20, 0xffe5 }, { 27, 0xff1b }, { 32, 0x20 }, { 33, 0xff55 }, { 34, 0xff56 }, { 35, 0xff57 }, { 36, 0xff50 },
    { 37, 0xff51 }, { 38, 0xff52 }, { 39, 0xff53 }, { 40, 0xff54 }, { 44, 0xff61 }, { 45, 0xff63 }, { 46, 0xffff },
    { 91, 0xffeb }, { 93, 0xff67 }, { 96, 0xffb0 }, { 97, 0xffb1 }, { 98, 0xffb2 }, { 99, 0xffb3 }, { 100, 0xffb4 },
    { 101, 0xffb5 }, { 102, 0xffb6 }, { 103, 0xffb7 }, { 104, 0xffb8 }, { 105, 0xffb9 }, { 106, 0xffaa },
    { 107, 0xffab }, { 109, 0xffad }, { 110, 0xffae }, { 111, 0xffaf }, { 144, 0xff7f }, { 145, 0xff14 },
    { 160, 0xffe1 }, { 161, 0xffe2 }, { 162, 0xffe3 }, { 163, 0xffe4 },
};

// The punctuation keys by their place on a 105-key keyboard, as the
// evdev keycodes of X servers number them: Windows names them by place too.
constexpr NamedVirtualKey placed_virtual_keys[] = {
    { 0xBA, 47 }, { 0xBB, 21 }, { 0xBC, 59 }, { 0xBD, 20 }, { 0xBE, 60 }, { 0xBF, 61 }, { 0xC0, 49 },
    { 0xDB, 34 }, { 0xDC, 51 }, { 0xDD, 35 }, { 0xDE, 48 }, { 0xE2, 94 }, { 0xC1, 97 }, { 0xC2, 129 },
};

// Virtual keys that Windows leaves to the keyboard's maker, lent to keys
// that have none of the above.
constexpr int lendable_virtual_keys[] = { 0xE9, 0xEA, 0xEB, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF2, 0xF3, 0xF4,
    0xF5, 0x92, 0x93, 0x94, 0x95, 0x96, 0xE3, 0xE4, 0xE6 };

// The characters 128 to 159 of Windows-1252 in Unicode; 0 where none.
constexpr uint16_t windows1252_high[32] = {
    0x20AC, 0, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0, 0x017D, 0,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0, 0x017E,
    0x0178,
};

bool is_lower_letter(KeySymbol symbol) { return symbol >= 'a' && symbol <= 'z'; }

}

X11Keymap::X11Keymap(uint8_t first_keycode, int symbols_per_keycode, std::vector<KeySymbol> symbols)
    : m_first_keycode(first_keycode)
    , m_per_keycode(symbols_per_keycode)
    , m_symbols(std::move(symbols))
{
}

void X11Keymap::set_mapping(uint8_t first_keycode, int symbols_per_keycode, std::vector<KeySymbol> symbols)
{
    m_first_keycode = first_keycode;
    m_per_keycode = symbols_per_keycode;
    m_symbols = std::move(symbols);
}

KeySymbol X11Keymap::symbol_of_character(unsigned char character)
{
    if (character < 0x80 || character >= 0xA0)
        return character;
    uint16_t code = windows1252_high[character - 0x80];
    if (code == 0)
        return no_symbol;
    // The euro sign has a keysym of its own older than the Unicode ones.
    if (code == 0x20AC)
        return 0x20AC;
    return 0x01000000u | code;
}

KeySymbol X11Keymap::symbol(uint8_t keycode, int column) const
{
    if (keycode < m_first_keycode || column >= m_per_keycode)
        return no_symbol;
    size_t index = size_t(keycode - m_first_keycode) * size_t(m_per_keycode) + size_t(column);
    if (index >= m_symbols.size())
        return no_symbol;
    KeySymbol found = m_symbols[index];
    // A letter listed alone has its capital on the shifted level.
    if (column == 1 && found == no_symbol) {
        KeySymbol plain = symbol(keycode, 0);
        if (is_lower_letter(plain))
            return plain - 'a' + 'A';
        if (plain >= 0xE0 && plain <= 0xFE && plain != 0xF7)
            return plain - 0x20;
    }
    return found;
}

std::optional<X11Keymap::Placement> X11Keymap::find_symbol(KeySymbol wanted) const
{
    if (wanted == no_symbol || m_per_keycode == 0)
        return std::nullopt;
    size_t keycodes = m_symbols.size() / size_t(m_per_keycode);
    for (int level = 0; level < 2; ++level) {
        for (size_t offset = 0; offset < keycodes; ++offset) {
            auto keycode = static_cast<uint8_t>(m_first_keycode + offset);
            if (symbol(keycode, level) == wanted)
                return Placement { keycode, level };
        }
    }
    return std::nullopt;
}

std::optional<uint8_t> X11Keymap::keycode_of_virtual_key(int virtual_key)
{
    for (auto named : named_virtual_keys) {
        if (named.virtual_key == virtual_key) {
            if (auto placement = find_symbol(named.symbol))
                return placement->keycode;
            return std::nullopt;
        }
    }
    if (virtual_key >= 'A' && virtual_key <= 'Z') {
        if (auto placement = find_symbol(static_cast<KeySymbol>(virtual_key - 'A' + 'a')))
            return placement->keycode;
        return std::nullopt;
    }
    if (virtual_key >= '0' && virtual_key <= '9') {
        if (auto placement = find_symbol(static_cast<KeySymbol>(virtual_key)))
            return placement->keycode;
        return std::nullopt;
    }
    if (auto lent = m_lent_virtual_keys.find(virtual_key); lent != m_lent_virtual_keys.end())
        return lent->second;
    for (auto placed : placed_virtual_keys) {
        if (placed.virtual_key == virtual_key)
            return static_cast<uint8_t>(placed.symbol);
    }
    return std::nullopt;
}

int X11Keymap::virtual_key_of_keycode(uint8_t keycode)
{
    KeySymbol plain = symbol(keycode, 0);
    KeySymbol shifted = symbol(keycode, 1);
    if (is_lower_letter(plain))
        return static_cast<int>(plain - 'a' + 'A');
    // The digits of the top row, unshifted on most layouts and shifted on
    // the French one.
    for (KeySymbol candidate : { plain, shifted }) {
        if (candidate >= '0' && candidate <= '9')
            return static_cast<int>(candidate);
    }
    for (auto named : named_virtual_keys) {
        if (plain == named.symbol)
            return named.virtual_key;
    }
    for (auto placed : placed_virtual_keys) {
        if (placed.symbol == keycode)
            return placed.virtual_key;
    }
    for (auto [virtual_key, lent_keycode] : m_lent_virtual_keys) {
        if (lent_keycode == keycode)
            return virtual_key;
    }
    for (int virtual_key : lendable_virtual_keys) {
        if (!m_lent_virtual_keys.contains(virtual_key)) {
            m_lent_virtual_keys[virtual_key] = keycode;
            return virtual_key;
        }
    }
    return 0;
}

std::optional<uint8_t> X11Keymap::spare_keycode(const std::set<uint8_t>& refused) const
{
    if (m_per_keycode == 0)
        return std::nullopt;
    size_t keycodes = m_symbols.size() / size_t(m_per_keycode);
    // From the top: the low keycodes of a keyboard are its real keys.
    for (size_t offset = keycodes; offset-- > 0;) {
        bool empty = true;
        for (int column = 0; column < m_per_keycode && empty; ++column)
            empty = m_symbols[offset * size_t(m_per_keycode) + size_t(column)] == no_symbol;
        auto keycode = static_cast<uint8_t>(m_first_keycode + offset);
        if (empty && !refused.contains(keycode))
            return keycode;
    }
    return std::nullopt;
}

}
