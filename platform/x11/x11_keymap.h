// SPDX-License-Identifier: GPL-3.0-or-later
// X11Keymap: the keyboard mapping of an X server, seen through Windows virtual keys.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace platform {

using KeySymbol = uint32_t;

// A copy of the server's core keyboard mapping (the keysyms of each
// keycode, unshifted first). Windows virtual keys are placed on it by
// meaning where they have one (Enter, the arrows, the letters) and by the
// key's position otherwise (the punctuation keys of a 105-key keyboard).
class X11Keymap {
public:
    X11Keymap() = default;
    X11Keymap(uint8_t first_keycode, int symbols_per_keycode, std::vector<KeySymbol> symbols);
    // A fresh copy of the server's mapping; the lent virtual keys stay.
    void set_mapping(uint8_t first_keycode, int symbols_per_keycode, std::vector<KeySymbol> symbols);

    struct Placement {
        uint8_t keycode = 0;
        // 0 unshifted, 1 with Shift.
        int level = 0;
    };
    // The key that gives `symbol` without AltGr; nothing when none does.
    std::optional<Placement> find_symbol(KeySymbol symbol) const;
    std::optional<uint8_t> keycode_of_virtual_key(int virtual_key);
    int virtual_key_of_keycode(uint8_t keycode);
    // A keycode with no symbols, to lend to a character no key types; the
    // highest one not in `refused`.
    std::optional<uint8_t> spare_keycode(const std::set<uint8_t>& refused = {}) const;

    // The keysym of a Windows-1252 character.
    static KeySymbol symbol_of_character(unsigned char character);

private:
    KeySymbol symbol(uint8_t keycode, int column) const;

    uint8_t m_first_keycode = 8;
    int m_per_keycode = 0;
    std::vector<KeySymbol> m_symbols;
    // Virtual keys given to keys that have none by meaning or position.
    std::map<int, uint8_t> m_lent_virtual_keys;
};

}
