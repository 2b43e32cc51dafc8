// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the window's key mapping: scancodes, modifiers and typed text.
#include "platform/sdl/sdl_key_mapping.h"
#include "tests/support/key_events.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

using platform::Key;

uint16_t sdl_modifiers(const std::string& names)
{
    uint16_t held = 0;
    std::istringstream list(names);
    std::string name;
    while (std::getline(list, name, ',')) {
        if (name == "num")
            held |= KMOD_NUM;
        else if (name == "lshift")
            held |= KMOD_LSHIFT;
        else if (name == "lctrl")
            held |= KMOD_LCTRL;
        else if (name == "rctrl")
            held |= KMOD_RCTRL;
        else if (name == "lalt")
            held |= KMOD_LALT;
        else if (name == "ralt")
            held |= KMOD_RALT;
        else if (name == "mode")
            held |= KMOD_MODE;
        else if (name != "-")
            ADD_FAILURE() << "unknown modifier " << name;
    }
    return held;
}

std::string describe(Key key, uint8_t modifiers)
{
    return test_support::key_name(key) + test_support::modifier_suffix(modifiers);
}

TEST(WindowKeyMapping, MapsTheScancodesOfTheTable)
{
    auto path = std::filesystem::path(__FILE__).parent_path() / "window_key_cases.txt";
    auto lines = test_support::read_table_lines(path);
    ASSERT_FALSE(lines.empty()) << path;
    int cases = 0;
    for (const auto& [number, line] : lines) {
        std::istringstream fields(line);
        std::string name, modifiers, expected;
        ASSERT_TRUE(std::getline(fields, name, '\t') && std::getline(fields, modifiers, '\t')
            && std::getline(fields, expected))
            << line;
        SDL_Scancode scancode = SDL_GetScancodeFromName(name.c_str());
        ASSERT_NE(scancode, SDL_SCANCODE_UNKNOWN) << name;
        uint16_t held = sdl_modifiers(modifiers);
        EXPECT_EQ(describe(platform::key_of_scancode(scancode, held), platform::modifiers_of(held)), expected)
            << line;
        ++cases;
    }
    EXPECT_GT(cases, 40);
}

TEST(WindowKeyMapping, TypedTextBecomesWindows1252WithoutWhatItCannotHold)
{
    EXPECT_EQ(platform::typed_characters("a"), "a");
    EXPECT_EQ(platform::typed_characters("\xC3\xA9"), "\xE9"); // é
    EXPECT_EQ(platform::typed_characters("\xE2\x82\xAC"), "\x80"); // the euro sign's own byte
    EXPECT_EQ(platform::typed_characters("\xC3\xA7" "a\xC3\x83"), "\xE7" "a\xC3"); // ç a Ã, in order
    // No byte for these: nothing was typed that a script could read.
    EXPECT_EQ(platform::typed_characters("\xC4\x80"), ""); // Ā
    EXPECT_EQ(platform::typed_characters("\xF0\x9F\x98\x80"), ""); // an emoji
    EXPECT_EQ(platform::typed_characters("x\xF0\x9F\x98\x80y"), "xy");
    // Control characters are the keys' business, also the C1 ones that
    // share their numbers with printable bytes of the code page.
    EXPECT_EQ(platform::typed_characters("a\x01\x7F" "b"), "ab");
    EXPECT_EQ(platform::typed_characters("\xC2\x81\xC2\x9F"), "");
    EXPECT_EQ(platform::typed_characters("\xC2\xA0\xC3\xBF"), "\xA0\xFF");
    // Broken UTF-8 gives no characters, and nothing past the text's end is read.
    EXPECT_EQ(platform::typed_characters("\xC3"), "");
    EXPECT_EQ(platform::typed_characters("\xE2\x82"), "");
    EXPECT_EQ(platform::typed_characters("\xFF" "a"), "a");
    EXPECT_EQ(platform::typed_characters("?"), "?");
}

TEST(WindowKeyMapping, TextOfAltAndCtrlIsLeftToTheSystemButAltGrTypes)
{
    EXPECT_FALSE(platform::text_left_to_system(0));
    EXPECT_FALSE(platform::text_left_to_system(KMOD_LSHIFT | KMOD_NUM));
    EXPECT_TRUE(platform::text_left_to_system(KMOD_LALT));
    EXPECT_TRUE(platform::text_left_to_system(KMOD_LCTRL));
    EXPECT_FALSE(platform::text_left_to_system(KMOD_RALT));
    EXPECT_FALSE(platform::text_left_to_system(KMOD_MODE));
    // Some keyboards send AltGr as Ctrl with the right Alt.
    EXPECT_FALSE(platform::text_left_to_system(KMOD_LCTRL | KMOD_RALT));
}

}
