// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/accent_table.h"

#include <gtest/gtest.h>
#include <string>

namespace {

TEST(AccentTable, SplitsTheAccentedLettersIntoAccentAndLetter)
{
    struct Case {
        unsigned char character;
        unsigned char dead_key;
        unsigned char base;
    };
    const Case cases[] = {
        { 0xC0, '`', 'A' }, { 0xC1, 0xB4, 'A' }, { 0xC2, '^', 'A' }, { 0xC3, '~', 'A' }, { 0xC4, 0xA8, 'A' },
        { 0xC8, '`', 'E' }, { 0xCB, 0xA8, 'E' }, { 0xCC, '`', 'I' }, { 0xCF, 0xA8, 'I' }, { 0xD1, '~', 'N' },
        { 0xD2, '`', 'O' }, { 0xD5, '~', 'O' }, { 0xD6, 0xA8, 'O' }, { 0xD9, '`', 'U' }, { 0xDC, 0xA8, 'U' },
        { 0xDD, 0xB4, 'Y' }, { 0x9F, 0xA8, 'Y' }, { 0xE0, '`', 'a' }, { 0xE1, 0xB4, 'a' }, { 0xE3, '~', 'a' },
        { 0xE4, 0xA8, 'a' }, { 0xE9, 0xB4, 'e' }, { 0xEA, '^', 'e' }, { 0xED, 0xB4, 'i' }, { 0xF1, '~', 'n' },
        { 0xF3, 0xB4, 'o' }, { 0xF4, '^', 'o' }, { 0xF5, '~', 'o' }, { 0xFA, 0xB4, 'u' }, { 0xFC, 0xA8, 'u' },
        { 0xFD, 0xB4, 'y' }, { 0xFF, 0xA8, 'y' },
    };
    for (auto item : cases) {
        auto key = desktop::accented_key(item.character);
        EXPECT_EQ(key.dead_key, item.dead_key) << int(item.character);
        EXPECT_EQ(key.base, item.base) << int(item.character);
    }
}

TEST(AccentTable, CountsFiftyAccentedLettersAndNoOthers)
{
    // "À" to "Ä", "È" to "Ë", "Ì" to "Ï", "Ñ", "Ò" to "Ö", "Ù" to "Ü", "Ý",
    // "Ÿ", and the same small letters: 25 each.
    int with_dead_key = 0;
    for (int character = 128; character < 256; ++character) {
        auto key = desktop::accented_key(static_cast<unsigned char>(character));
        if (key.dead_key)
            ++with_dead_key;
        else
            EXPECT_EQ(key.base, character) << "a character without accent is typed as itself";
    }
    EXPECT_EQ(with_dead_key, 50);
}

TEST(AccentTable, LeavesTheLettersWithoutAccentKeyAlone)
{
    for (unsigned char character : std::string("\xC5\xC7\xD0\xD8\xE5\xE7\xF0\xF8\xDF\xA8\xB4")) {
        auto key = desktop::accented_key(character);
        EXPECT_EQ(key.dead_key, 0) << int(character);
        EXPECT_EQ(key.base, character) << int(character);
    }
}

}
