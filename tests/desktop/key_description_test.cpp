// SPDX-License-Identifier: GPL-3.0-or-later
#include "desktop/key_description.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string describe(const std::optional<desktop::KeyDescription>& key)
{
    if (!key)
        return "invalid";
    std::string text;
    if (key->ctrl)
        text += "ctrl ";
    if (key->shift)
        text += "shift ";
    if (key->alt)
        text += "alt ";
    return text + std::to_string(key->virtual_key);
}

TEST(KeyDescription, ParsesEveryCaseOfTheTable)
{
    auto lines = test_support::read_table_lines(CASE_TABLE_DIR "/key_description_cases.txt");
    ASSERT_GT(lines.size(), 30u);
    for (const auto& line : lines) {
        auto tab = line.text.find('\t');
        ASSERT_NE(tab, std::string::npos) << "line " << line.number;
        auto text = line.text.substr(0, tab);
        EXPECT_EQ(describe(desktop::parse_key_description(text)), line.text.substr(tab + 1))
            << "line " << line.number << ": " << text;
    }
}

TEST(KeyDescription, TakesAnAccentedLetterUpperCased)
{
    // "ctrl+ç" names the key of "Ç", as the script's upper-casing gives it.
    auto key = desktop::parse_key_description("ctrl+\xE7");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->virtual_key, 0xC7);
    EXPECT_TRUE(key->ctrl);
}

TEST(KeyDescription, RefusesTheEmptyText)
{
    EXPECT_FALSE(desktop::parse_key_description(""));
}

}
