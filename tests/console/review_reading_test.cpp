// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the parts screen review reads with: character classes, fields and the screen search.
#include "console/review_characters.h"
#include "console/review_reader.h"
#include "console/review_search.h"
#include "console/screen_review.h"
#include "tests/console/review_fixture.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace {

using console::ReviewPosition;
using console_test::ReviewFixture;

TEST(ReviewCharacters, FollowTheTable)
{
    auto lines = test_support::read_table_lines(std::string(CASE_TABLE_DIR) + "/review_character_cases.txt");
    ASSERT_FALSE(lines.empty()) << "review_character_cases.txt is missing";
    int cases = 0;
    for (const auto& [number, line] : lines) {
        std::istringstream fields(line);
        int byte = 0;
        int letter = 0, word = 0, consonant = 0, separator = 0;
        fields >> std::hex >> byte >> std::dec >> letter >> word >> consonant >> separator;
        ASSERT_TRUE(fields) << "bad line: " << line;
        auto character = static_cast<uint8_t>(byte);
        SCOPED_TRACE(line);
        EXPECT_EQ(console::is_review_letter(character), letter == 1);
        EXPECT_EQ(console::is_review_word_character(character), word == 1);
        EXPECT_EQ(console::is_spelled_consonant(character), consonant == 1);
        EXPECT_EQ(console::is_field_separator(character), separator == 1);
        ++cases;
    }
    EXPECT_GT(cases, 30);
}

TEST(ReviewReader, FieldsEndAtColoursSeparatorsAndTheRow)
{
    ReviewFixture test;
    test.put(1, 4, "ab", 0x1F);
    test.put(3, 4, "cd:ef", 0x0F);
    console::ReviewReader reader(test.runtime.ports(), test.console, { 4, 1 });
    auto field = reader.field_at(1, 4);
    EXPECT_EQ(field.first, 1);
    EXPECT_EQ(field.last, 2);
    field = reader.field_at(4, 4);
    EXPECT_EQ(field.first, 3);
    EXPECT_EQ(field.last, 4);
    // The separator stands alone; after it the field runs to the row's end.
    field = reader.field_at(5, 4);
    EXPECT_EQ(field.first, 5);
    EXPECT_EQ(field.last, 5);
    field = reader.field_at(6, 4);
    EXPECT_EQ(field.first, 6);
    EXPECT_EQ(field.last, 80);
    // Column 81 stands for the last column.
    field = reader.field_at(81, 4);
    EXPECT_EQ(field.last, 80);
    EXPECT_EQ(reader.character_at(81, 4), ' ');
    EXPECT_EQ(reader.last_non_blank(4), 7);
    EXPECT_EQ(reader.last_non_blank(5), 0);
}

TEST(ReviewReader, ReadingARangeStopsAtTheLastColumnInsideAWord)
{
    ReviewFixture test;
    test.put(1, 2, "palavra longa");
    console::ReviewReader reader(test.runtime.ports(), test.console, { 2, 1 });
    reader.read_range({ 2, 1 }, { 2, 4 });
    EXPECT_EQ(test.ports.heard, (std::vector<std::string> { "say: pala" }));
    EXPECT_EQ(reader.position(), (ReviewPosition { 2, 5 }));
}

TEST(ReviewSearch, FindsTheFirstOccurrenceAfterTheReviewColumn)
{
    ReviewFixture test;
    test.put(1, 3, "abc xyz abc");
    test.put(40, 9, "abc");
    const auto& screen = test.console.screen();
    EXPECT_EQ(console::find_on_screen(screen, "abc", { 3, 1 }), (ReviewPosition { 3, 9 }));
    // Starting exactly at the review column does not count.
    EXPECT_EQ(console::find_on_screen(screen, "abc", { 3, 8 }), (ReviewPosition { 3, 9 }));
    EXPECT_EQ(console::find_on_screen(screen, "abc", { 3, 9 }), (ReviewPosition { 9, 40 }));
    EXPECT_EQ(console::find_on_screen(screen, "abc", { 1, 50 }), (ReviewPosition { 3, 1 }));
    EXPECT_EQ(console::find_on_screen(screen, "abc", { 9, 81 }), std::nullopt);
    EXPECT_EQ(console::find_on_screen(screen, "ABC", { 1, 1 }), std::nullopt);
    EXPECT_EQ(console::find_on_screen(screen, "", { 1, 1 }), std::nullopt);
    EXPECT_EQ(console::find_on_screen(screen, std::string(81, ' '), { 1, 1 }), std::nullopt);
}

TEST(ReviewSearch, OnlyBeforeTheColumnAndNowhereBelowIsNotFound)
{
    ReviewFixture test("{Ctrl+F5}{Esc}");
    test.put(1, 12, "procura aqui");
    test.console.review_search_text() = "procura";
    test.console.goto_xy(20, 12);
    test.ports.heard.clear();
    console::screen_review(test.runtime);
    EXPECT_EQ(test.ports.heard, (std::vector<std::string> { "beep", "beep", "beep", "beep", "beep" }));
}

TEST(ReviewSearch, TypingIsBoundedAndExtendedKeysTypeNothing)
{
    std::string keys = "{F5}{Up}{Backspace}";
    keys += std::string(85, 'k');
    keys += "{Enter}";
    ReviewFixture test(keys);
    uint8_t first = test.console.read_key();
    ASSERT_EQ(first, 0);
    test.console.read_key(); // F5: the review's key, read here by hand
    auto text = console::read_search_text(test.runtime.ports());
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, std::string(console::max_review_search_length, 'k'));
    // The Up arrow typed nothing; Backspace on nothing and each key past the
    // limit beep.
    std::vector<std::string> heard(test.ports.heard.begin(), test.ports.heard.begin() + 2);
    EXPECT_EQ(heard, (std::vector<std::string> { "say: Qual texto", "beep" }));
    EXPECT_EQ(std::count(test.ports.heard.begin(), test.ports.heard.end(), "beep"), 6);
}

}
