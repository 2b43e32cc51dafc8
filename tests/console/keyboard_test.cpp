// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the key encoding and the braille chord keyboard, from a table, and of the key queue.
#include "console/braille_keyboard.h"
#include "console/key_queue.h"
#include "console/keyboard.h"
#include "tests/console/console_fixture.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using console_test::ConsoleFixture;

std::string join(const std::vector<int>& bytes)
{
    std::string text;
    for (int byte : bytes)
        text += (text.empty() ? "" : " ") + std::to_string(byte);
    return text;
}

TEST(Keyboard, KeysGiveTheBytesOfTheTable)
{
    auto path = std::filesystem::path(__FILE__).parent_path() / "keyboard_cases.txt";
    auto lines = test_support::read_table_lines(path);
    ASSERT_FALSE(lines.empty()) << path;
    int cases = 0;
    for (const auto& [number, line] : lines) {
        std::istringstream fields(line);
        std::string mode, keys, expected;
        std::getline(fields, mode, '\t');
        std::getline(fields, keys, '\t');
        std::getline(fields, expected);
        ConsoleFixture test(keys);
        test.console.set_braille_keyboard_mode(std::stoi(mode));
        EXPECT_EQ(join(test.read_all_keys()), expected) << "mode " << mode << ": " << keys;
        ++cases;
    }
    EXPECT_GT(cases, 30);
}

TEST(KeyQueue, HoldsSixtyFourBytesAndDropsTheRest)
{
    console::KeyQueue queue;
    for (int byte = 1; byte <= 64; ++byte)
        EXPECT_TRUE(queue.push(static_cast<uint8_t>(byte)));
    EXPECT_FALSE(queue.push(65));
    EXPECT_EQ(queue.count(), 64);
    for (int byte = 1; byte <= 64; ++byte)
        EXPECT_EQ(queue.pop(), byte);
    EXPECT_FALSE(queue.pop());
}

TEST(KeyQueue, AnExtendedKeyGoesInWholeOrNotAtAll)
{
    console::KeyQueue queue;
    for (int byte = 0; byte < 63; ++byte)
        queue.push('x');
    EXPECT_FALSE(queue.push_extended(72));
    EXPECT_EQ(queue.count(), 63);
    queue.pop();
    EXPECT_TRUE(queue.push_extended(72));
    EXPECT_EQ(queue.count(), 64);
}

TEST(KeyQueue, WrapsAroundItsBuffer)
{
    console::KeyQueue queue;
    for (int round = 0; round < 200; ++round) {
        queue.push(static_cast<uint8_t>(round));
        queue.push(static_cast<uint8_t>(round + 1));
        EXPECT_EQ(queue.pop(), static_cast<uint8_t>(round));
        EXPECT_EQ(queue.pop(), static_cast<uint8_t>(round + 1));
    }
    EXPECT_TRUE(queue.empty());
}

TEST(Keyboard, KeysBeyondTheQueueAreDropped)
{
    console::KeyQueue queue;
    console::Keyboard keyboard(queue);
    for (int index = 0; index < 63; ++index)
        keyboard.character('a');
    // More than 62 bytes queued: an extended key is dropped.
    keyboard.key_press(platform::Key::Up, 0);
    EXPECT_EQ(queue.count(), 63);
    keyboard.character('b');
    keyboard.character('c');
    EXPECT_EQ(queue.count(), 64);
    for (int index = 0; index < 63; ++index)
        queue.pop();
    EXPECT_EQ(queue.pop(), 'b');
}

TEST(Keyboard, CtrlBreakClosesOnlyWhileBreakCheckingIsOn)
{
    console::KeyQueue queue;
    console::Keyboard keyboard(queue);
    EXPECT_TRUE(keyboard.key_press(platform::Key::Break, platform::modifier::ctrl).close);
    EXPECT_FALSE(keyboard.key_press(platform::Key::Break, 0).close);
    keyboard.set_break_checking(false);
    EXPECT_FALSE(keyboard.key_press(platform::Key::Break, platform::modifier::ctrl).close);
}

TEST(Keyboard, TheMouseEventAfterAFocusChangeIsSwallowed)
{
    console::KeyQueue queue;
    console::Keyboard keyboard(queue);
    keyboard.focus_gained(true);
    keyboard.mouse_button(platform::MouseButton::Left);
    EXPECT_TRUE(queue.empty());
    keyboard.mouse_button(platform::MouseButton::Left);
    EXPECT_EQ(queue.pop(), 13);
    keyboard.focus_gained(false);
    keyboard.mouse_wheel(-1);
    EXPECT_EQ(queue.count(), 2);
    keyboard.set_mouse_keys(false);
    keyboard.mouse_button(platform::MouseButton::Right);
    EXPECT_EQ(queue.count(), 2);
}

TEST(BrailleKeyboard, ModeChangesAnnounceThemselvesWithTones)
{
    console::BrailleKeyboard braille;
    EXPECT_EQ(braille.set_mode(0), std::vector<int> {});
    EXPECT_EQ(braille.set_mode(1), (std::vector<int> { 800, 1600 }));
    EXPECT_EQ(braille.set_mode(2), (std::vector<int> { 800, 400 }));
    EXPECT_EQ(braille.next_mode(), 1);
    EXPECT_EQ(braille.set_mode(0), std::vector<int> { 100 });
    EXPECT_EQ(braille.next_mode(), 1);
    EXPECT_EQ(braille.set_mode(3), (std::vector<int> { 800, 1600 }));
    EXPECT_EQ(braille.mode(), 1);
    EXPECT_EQ(braille.next_mode(), 2);
}

TEST(BrailleKeyboard, SwitchingOffDropsAHalfMadeChord)
{
    console::BrailleKeyboard braille;
    braille.set_mode(1);
    braille.press(platform::Key::F);
    braille.set_mode(0);
    braille.set_mode(1);
    braille.press(platform::Key::D);
    EXPECT_EQ(braille.release(platform::Key::D, false), ',');
}

TEST(BrailleKeyboard, TheTableOfDots)
{
    EXPECT_EQ(console::BrailleKeyboard::character_of_dots(0), ' ');
    EXPECT_EQ(console::BrailleKeyboard::character_of_dots(47), 0xE7); // ç
    EXPECT_EQ(console::BrailleKeyboard::character_of_dots(63), 0xE9); // é
    EXPECT_EQ(console::BrailleKeyboard::character_of_dots(40), '{');
    EXPECT_EQ(console::BrailleKeyboard::character_of_dots(60), '#');
}

}
