// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/keyboard.h"
#include "platform/headless/recording_desktop.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using Actions = std::vector<std::string>;

struct KeyboardFixture {
    platform::RecordingDesktop desktop;
    desktop::Keyboard keyboard { desktop, [this](int milliseconds) { desktop.actions.push_back("pause " + std::to_string(milliseconds)); } };
};

TEST(Keyboard, TypesAccentedLettersThroughTheDeadKeys)
{
    KeyboardFixture test;
    // Dead tilde and acute keys where a Brazilian keyboard has them, on a
    // keyboard without a key for "ç".
    test.desktop.dead_keys = { { '~', 0xDE }, { 0xB4, 0xDB } };
    test.keyboard.type_text("a\xE7\xE3o", 100);
    Actions expected = { "down 65", "up 65", "pause 100", "char 231", "pause 100", "down 222", "up 222", "down 65",
        "up 65", "pause 100", "down 79", "up 79", "pause 100" };
    EXPECT_EQ(test.desktop.actions, expected);
}

TEST(Keyboard, TypesAccentedLettersAsThemselvesWithoutDeadKeys)
{
    KeyboardFixture test;
    test.keyboard.type_text("\xE9\xC3", 0);
    Actions expected = { "char 233", "pause 0", "char 195", "pause 0" };
    EXPECT_EQ(test.desktop.actions, expected);
}

TEST(Keyboard, HoldsShiftForCapitalsAndShiftedSigns)
{
    KeyboardFixture test;
    test.keyboard.type_text("A!", 1);
    Actions expected = { "down 16", "down 65", "up 65", "up 16", "pause 1", "down 16", "down 49", "up 49", "up 16",
        "pause 1" };
    EXPECT_EQ(test.desktop.actions, expected);
}

TEST(Keyboard, TypesControlCharactersAsCtrlCombinationsWithTwoPauses)
{
    KeyboardFixture test;
    test.keyboard.type_character(13, 100);
    Actions expected = { "down 17", "down 77", "up 77", "up 17", "pause 100", "pause 100" };
    EXPECT_EQ(test.desktop.actions, expected);
}

TEST(Keyboard, PressesModifiersInOrderAndReleasesThemInTheSameOrder)
{
    KeyboardFixture test;
    test.keyboard.press_combination(9, true, true, true, 100);
    Actions expected = { "down 16", "down 17", "down 18", "down 9", "up 9", "up 16", "up 17", "up 18", "pause 100" };
    EXPECT_EQ(test.desktop.actions, expected);
}

TEST(Keyboard, TogglesNumLockInsteadOfPressingIt)
{
    KeyboardFixture test;
    test.keyboard.press(144, 3, true);
    EXPECT_EQ(test.desktop.actions, Actions { "numlock" });
}

TEST(Keyboard, PressesTheKeyCountTimes)
{
    KeyboardFixture test;
    test.keyboard.press(40, 2, true);
    test.keyboard.press(41, 2, false);
    Actions expected = { "down 40", "up 40", "down 40", "up 40", "down 41", "down 41" };
    EXPECT_EQ(test.desktop.actions, expected);
}

TEST(Keyboard, PressesACharactersKeyWithoutItsModifiers)
{
    KeyboardFixture test;
    test.keyboard.press_character_key('A');
    test.keyboard.press_character_key('\t');
    Actions expected = { "down 65", "pause 1", "up 65", "pause 1", "down 17", "down 73", "up 73", "up 17", "pause 1",
        "pause 1" };
    EXPECT_EQ(test.desktop.actions, expected);
}

TEST(Keyboard, TypesWhatNoKeyTypesAsTheCharacter)
{
    KeyboardFixture test;
    test.keyboard.press_character_key(127);
    test.keyboard.type_character(0x80, 0);
    Actions expected = { "char 127", "char 128", "pause 0" };
    EXPECT_EQ(test.desktop.actions, expected);
}

}
