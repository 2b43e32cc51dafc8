// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the menu model: scrolling, marks, the move table and the key texts.
#include "console/menu.h"
#include "platform/event_source.h"
#include "tests/support/table_lines.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using console::Menu;
using console::MenuRectangle;

Menu menu_of(int items, MenuRectangle rectangle = { 1, 1, 30, 8 })
{
    Menu menu(rectangle);
    for (int item = 1; item <= items; ++item)
        menu.add_item("item " + std::to_string(item));
    return menu;
}

// Puts the highlight on `index` (-1 .. count) the way a user would get it
// there: a start item, or Up from the first item.
void put_highlight(Menu& menu, int index)
{
    menu.set_start_item(index < 0 ? 1 : index + 1);
    menu.start_choice();
    if (index < 0)
        menu.press_extended(console::extended_key::up, 0);
}

std::string marks_of(const Menu& menu)
{
    std::string marks;
    for (int index = 0; index < menu.item_count(); ++index)
        marks += menu.is_marked(index) ? 'x' : '.';
    return marks;
}

TEST(Menu, MoveTable)
{
    auto lines = test_support::read_table_lines(CASE_TABLE_DIR "/menu_move_cases.txt");
    ASSERT_FALSE(lines.empty()) << "menu_move_cases.txt not found";
    int cases = 0;
    for (const auto& [line_number, line] : lines) {
        std::istringstream fields(line);
        int code, items, at, expected_at, expected_beeps;
        std::string modifiers, marks, outcome, expected_marks;
        ASSERT_TRUE(fields >> code >> modifiers >> items >> at >> marks >> expected_at >> expected_beeps >> outcome
            >> expected_marks)
            << "line " << line_number;
        SCOPED_TRACE("menu_move_cases.txt line " + std::to_string(line_number));

        Menu menu = menu_of(items);
        if (marks != "-") {
            ASSERT_EQ(marks.size(), static_cast<size_t>(items));
            for (int index = 0; index < items; ++index) {
                if (marks[static_cast<size_t>(index)] == 'x') {
                    put_highlight(menu, index);
                    menu.press_key('+');
                }
            }
        }
        put_highlight(menu, at);
        ASSERT_EQ(menu.current(), at);

        uint8_t held = 0;
        if (modifiers.find('S') != std::string::npos)
            held |= platform::modifier::shift;
        if (modifiers.find('A') != std::string::npos)
            held |= platform::modifier::alt;
        auto result = menu.press_extended(static_cast<uint8_t>(code), held);
        EXPECT_EQ(menu.current(), expected_at);
        EXPECT_EQ(result.beeps, expected_beeps);
        EXPECT_EQ(result.ends_choice, outcome == "end");
        EXPECT_EQ(result.opens_screen_review, outcome == "review");
        EXPECT_EQ(marks_of(menu), expected_marks == "-" ? std::string(static_cast<size_t>(items), '.') : expected_marks);
        ++cases;
    }
    EXPECT_GT(cases, 40);
}

TEST(Menu, ScrollsOnlyAsFarAsTheHighlightNeeds)
{
    Menu menu = menu_of(12, { 1, 3, 20, 6 }); // four rows
    EXPECT_EQ(menu.visible_rows(), 4);
    put_highlight(menu, 0);
    menu.scroll();
    EXPECT_EQ(menu.first_shown(), 0);
    for (int step = 0; step < 4; ++step)
        menu.press_extended(console::extended_key::down, 0);
    menu.scroll();
    EXPECT_EQ(menu.current(), 4);
    EXPECT_EQ(menu.first_shown(), 1);
    EXPECT_EQ(menu.row_of(4), 6);
    // Back up inside the shown rows: nothing moves.
    menu.press_extended(console::extended_key::up, 0);
    menu.scroll();
    EXPECT_EQ(menu.first_shown(), 1);
    menu.press_extended(console::extended_key::page_down, 0); // to 13, held at 12
    menu.scroll();
    EXPECT_EQ(menu.current(), 12);
    EXPECT_EQ(menu.first_shown(), 9); // the place after the last item is on the last row
    menu.press_extended(console::extended_key::home, 0);
    menu.scroll();
    EXPECT_EQ(menu.first_shown(), 0);
    // Before the first item the first shown item stays the first.
    menu.press_extended(console::extended_key::up, 0);
    menu.scroll();
    EXPECT_EQ(menu.current(), -1);
    EXPECT_EQ(menu.first_shown(), 0);
}

TEST(Menu, KeptWithinTheScreen)
{
    // The application's listing menu runs to row 50 of a 25-row screen: it
    // scrolls within the rows that exist.
    Menu tall = menu_of(40, { 1, 1, 80, 50 });
    EXPECT_EQ(tall.visible_rows(), 25);
    put_highlight(tall, 30);
    tall.scroll();
    EXPECT_EQ(tall.row_of(30), 25);

    Menu wide = menu_of(1, { 70, 24, 100, 24 });
    EXPECT_EQ(wide.width(), 11);
    Menu inverted = menu_of(1, { 10, 10, 5, 2 });
    EXPECT_EQ(inverted.width(), 0);
    EXPECT_EQ(inverted.visible_rows(), 1);
    Menu outside = menu_of(1, { 0, -3, 0, 0 });
    EXPECT_EQ(outside.shown_rectangle().left, 1);
    EXPECT_EQ(outside.shown_rectangle().top, 1);
    EXPECT_EQ(outside.visible_rows(), 1);
}

TEST(Menu, StartItemPlacesTheHighlight)
{
    Menu menu = menu_of(3);
    EXPECT_EQ(menu.start_item(), 1);
    menu.set_start_item(0);
    EXPECT_EQ(menu.start_item(), 1);
    menu.set_start_item(-7);
    EXPECT_EQ(menu.start_item(), 1);
    menu.set_start_item(3);
    menu.start_choice();
    EXPECT_EQ(menu.current(), 2);
    // Past the end the highlight stops on the place after the last item.
    menu.set_start_item(99);
    menu.start_choice();
    EXPECT_EQ(menu.current(), 3);
}

TEST(Menu, MarkKeysAndKeysThatEnd)
{
    Menu menu = menu_of(4);
    put_highlight(menu, 1);
    EXPECT_FALSE(menu.press_key(' ').ends_choice);
    EXPECT_EQ(marks_of(menu), ".x..");
    menu.press_key(' ');
    EXPECT_EQ(marks_of(menu), "....");
    menu.press_key('*');
    EXPECT_EQ(marks_of(menu), "xxxx");
    menu.press_key('-');
    EXPECT_EQ(marks_of(menu), "x.xx");
    menu.press_key('/');
    EXPECT_EQ(marks_of(menu), "....");
    menu.press_key('+');
    menu.press_key('+');
    EXPECT_EQ(marks_of(menu), ".x..");
    // Off the items the mark keys have nothing to mark.
    put_highlight(menu, 4);
    menu.press_key(' ');
    menu.press_key('+');
    EXPECT_EQ(marks_of(menu), ".x..");
    for (uint8_t key : { uint8_t(13), uint8_t(27), uint8_t(9), uint8_t(8), uint8_t('a'), uint8_t('7'), uint8_t(0xE7) })
        EXPECT_TRUE(menu.press_key(key).ends_choice) << int(key);
    EXPECT_EQ(marks_of(menu), ".x..");
}

TEST(Menu, ItemsKeepTheirWholeText)
{
    Menu menu({ 1, 1, 5, 2 });
    menu.add_item("um texto bem mais longo que o menu");
    menu.add_item("");
    EXPECT_EQ(menu.width(), 5);
    EXPECT_EQ(menu.item_text(0), "um texto bem mais longo que o menu");
    EXPECT_TRUE(menu.is_item(1));
    EXPECT_EQ(menu.item_text(1), "");
    EXPECT_EQ(menu.item_text(2), "");
    EXPECT_EQ(menu.item_text(-1), "");
    EXPECT_FALSE(menu.is_marked(-1));
    EXPECT_FALSE(menu.is_marked(2));
}

TEST(Menu, KeyTextsAsScriptsSeeThem)
{
    struct Case {
        interpreter::KeyPress key;
        const char* text;
    };
    const Case cases[] = {
        { { 13, false }, "#13" },
        { { 27, false }, "#27" },
        { { 9, false }, "#9" },
        { { 1, false }, "#1" },
        { { 31, false }, "#31" },
        { { ' ', false }, " " },
        { { 'a', false }, "a" },
        { { 0xE7, false }, "\xE7" },
        { { 60, true }, "#0#60" },
        { { 59, true }, "#0#59" },
        { { 70, true }, "#0#70" },
        // An extended key whose code is a letter's is still no letter.
        { { 'H', true }, "#0#72" },
    };
    for (const auto& test : cases)
        EXPECT_EQ(console::key_text(test.key), test.text) << test.text;
}

TEST(Menu, OnlyTheFunctionKeysReachTheScript)
{
    for (int code = 0; code < 256; ++code) {
        bool function_key = code >= 59 && code <= 70;
        EXPECT_EQ(console::is_function_key_code(static_cast<uint8_t>(code)), function_key) << code;
        if (function_key) {
            EXPECT_TRUE(console::is_choice_ending_code(static_cast<uint8_t>(code)));
        }
    }
}

}
