// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/x11/x11_keymap.h"

#include <gtest/gtest.h>

namespace {

using platform::KeySymbol;
using platform::X11Keymap;

// A few keys of a Brazilian ABNT2 keyboard at their evdev keycodes, with
// four keysyms a keycode as servers send them (the third and fourth are
// the second group's).
X11Keymap brazilian_keymap()
{
    constexpr uint8_t first = 8;
    constexpr int per_keycode = 4;
    std::vector<KeySymbol> symbols(size_t(200 - first) * per_keycode, 0);
    auto set = [&](uint8_t keycode, KeySymbol plain, KeySymbol shifted) {
        symbols[size_t(keycode - first) * per_keycode] = plain;
        symbols[size_t(keycode - first) * per_keycode + 1] = shifted;
    };
    set(10, '1', '!');
    set(38, 'a', 'A');
    set(32, 'o', 0); // a letter listed alone
    set(47, 0xe7, 0xc7); // ç Ç
    set(48, 0xfe53, 0xfe52); // dead tilde, dead circumflex
    set(34, 0xfe51, 0xfe50); // dead acute, dead grave
    set(97, '/', '?');
    set(36, 0xff0d, 0);
    set(50, 0xffe1, 0);
    set(77, 0xff7f, 0);
    set(111, 0xff52, 0);
    set(120, 0xffb1, 0);
    // Everything from 150 up stays empty, to be lent.
    for (uint8_t keycode = 130; keycode < 150; ++keycode)
        set(keycode, 0x1008ff00u + keycode, 0);
    return X11Keymap(first, per_keycode, std::move(symbols));
}

TEST(X11Keymap, FindsCharactersOnTheirLevel)
{
    auto keymap = brazilian_keymap();
    struct Case {
        KeySymbol symbol;
        uint8_t keycode;
        int level;
    };
    const Case cases[] = { { 'a', 38, 0 }, { 'A', 38, 1 }, { 'o', 32, 0 }, { 'O', 32, 1 }, { 0xc7, 47, 1 },
        { '!', 10, 1 }, { '?', 97, 1 }, { 0xfe53, 48, 0 }, { 0xfe50, 34, 1 } };
    for (auto item : cases) {
        auto placement = keymap.find_symbol(item.symbol);
        ASSERT_TRUE(placement) << item.symbol;
        EXPECT_EQ(placement->keycode, item.keycode) << item.symbol;
        EXPECT_EQ(placement->level, item.level) << item.symbol;
    }
    EXPECT_FALSE(keymap.find_symbol('~'));
    EXPECT_FALSE(keymap.find_symbol(0));
}

TEST(X11Keymap, PlacesVirtualKeysByMeaningThenByPosition)
{
    auto keymap = brazilian_keymap();
    const std::pair<int, uint8_t> cases[] = { { 'A', 38 }, { 'O', 32 }, { '1', 10 }, { 13, 36 }, { 16, 50 },
        { 144, 77 }, { 38, 111 }, { 97, 120 }, { 0xBA, 47 }, { 0xDE, 48 }, { 0xC1, 97 } };
    for (auto [virtual_key, keycode] : cases) {
        EXPECT_EQ(keymap.keycode_of_virtual_key(virtual_key), keycode) << virtual_key;
        EXPECT_EQ(keymap.virtual_key_of_keycode(keycode), virtual_key) << int(keycode);
    }
    EXPECT_FALSE(keymap.keycode_of_virtual_key('Z'));
}

TEST(X11Keymap, LendsAFreeVirtualKeyToAKeyWithoutOne)
{
    auto keymap = brazilian_keymap();
    int first = keymap.virtual_key_of_keycode(140);
    int second = keymap.virtual_key_of_keycode(141);
    EXPECT_NE(first, 0);
    EXPECT_NE(first, second);
    EXPECT_EQ(keymap.virtual_key_of_keycode(140), first);
    EXPECT_EQ(keymap.keycode_of_virtual_key(first), 140);
    EXPECT_EQ(keymap.keycode_of_virtual_key(second), 141);
}

TEST(X11Keymap, LendsTheHighestKeycodeWithoutSymbols)
{
    auto keymap = brazilian_keymap();
    EXPECT_EQ(keymap.spare_keycode(), 199);
    EXPECT_FALSE(X11Keymap().spare_keycode());
}

TEST(X11Keymap, NamesWindows1252CharactersByTheirKeysyms)
{
    EXPECT_EQ(X11Keymap::symbol_of_character('a'), 'a');
    EXPECT_EQ(X11Keymap::symbol_of_character(0xE3), 0xE3u);
    EXPECT_EQ(X11Keymap::symbol_of_character(0x80), 0x20ACu);
    EXPECT_EQ(X11Keymap::symbol_of_character(0x93), 0x0100201Cu);
    EXPECT_EQ(X11Keymap::symbol_of_character(0x81), 0u);
}

}
