// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of MENU: the statement forms, the drawn colours, speech and the stored results.
#include "console/menu.h"
#include "console/menu_choice.h"
#include "console/menu_state.h"
#include "console/menu_statements.h"
#include "tests/console/console_fixture.h"
#include "tests/support/test_runtime.h"

#include <gtest/gtest.h>

namespace {

void bind_menu_and_core(interpreter::CommandTable& table)
{
    test_support::bind_core_statements(table);
    console::bind_menu_statements(table);
}

// Keys come from the recording ports (a beep discards the ones still
// waiting, as it does for the user); the menu draws on a headless console.
struct MenuTest {
    MenuTest()
    {
        test.runtime.subsystems.console = &screen.console;
        test.runtime.subsystems.menu = &state;
    }

    void press(std::initializer_list<uint8_t> keys)
    {
        for (auto key : keys)
            test.ports.keys.push_back(key);
    }

    std::string row(int one_based_row) const { return screen.console.screen().row_text(one_based_row - 1); }
    uint8_t colour_at(int column, int row) const
    {
        return screen.console.screen().attribute_at(column - 1, row - 1) & 0x0F;
    }

    test_support::TestRuntime test { bind_menu_and_core };
    console_test::ConsoleFixture screen;
    console::MenuState state;
};

TEST(MenuStatement, FormsThatFail)
{
    struct Case {
        const char* line;
        bool succeeds;
    };
    // Each line runs after a menu of one item exists, except where the
    // statement before it removed it.
    const Case cases[] = {
        { "menu cria 1 1 30 8", true },
        { "menu cria 1 1 30", false },
        { "menu cria 1 1 30 8 9", false },
        { "menu cria 1 1 30 oito", false },
        { "menu cria \"a\" 1 30 8", false },
        { "MENU CRIA (1+1) 2 $largura 8", false }, // an empty variable is no number
        { "menu adiciona \"outro\"", true },
        { "menu adiciona", false },
        { "menu adiciona \"a\" \"b\"", false },
        { "menu executa n t", false },
        { "menu executa n t x y", false },
        { "menu executa n t 3", false },
        { "menu apaga", false },
        { "menu", false },
        { "menu termina agora", false },
    };
    for (const auto& each : cases) {
        MenuTest menu;
        ASSERT_TRUE(menu.test.execute("menu cria 1 1 30 8"));
        ASSERT_TRUE(menu.test.execute("menu adiciona \"item\""));
        EXPECT_EQ(menu.test.execute(each.line), each.succeeds) << each.line;
    }
}

TEST(MenuStatement, NoMenuBeforeCriaNorAfterTermina)
{
    MenuTest menu;
    EXPECT_FALSE(menu.test.execute("menu adiciona \"a\""));
    EXPECT_FALSE(menu.test.execute("menu executa n t x"));
    EXPECT_FALSE(menu.test.execute("menu termina"));
    EXPECT_TRUE(menu.test.execute("menu cria 1 1 10 3"));
    EXPECT_TRUE(menu.test.execute("menu adiciona \"a\""));
    EXPECT_TRUE(menu.test.execute("menu termina"));
    EXPECT_FALSE(menu.state.menu.has_value());
    EXPECT_FALSE(menu.test.execute("menu adiciona \"a\""));
    EXPECT_FALSE(menu.test.execute("menu executa n t x"));
    EXPECT_FALSE(menu.test.execute("menu termina"));
    EXPECT_EQ(menu.test.ports.missed_keys, 0);
}

TEST(MenuStatement, DrawsInTheThreeColoursAndRestoresTheTextColour)
{
    MenuTest menu;
    menu.screen.console.set_text_colour(7);
    for (auto line : { "menu cria 3 2 12 4", "menu adiciona \"um\"", "menu adiciona \"dois\"", "menu adiciona \"tr\xEAs\"" })
        ASSERT_TRUE(menu.test.execute(line));
    // "um" is marked beforehand: marking it from the keyboard would leave
    // it highlighted, and the beep of a marked highlight takes the keys
    // still waiting.
    menu.state.menu->start_choice();
    menu.state.menu->press_key('+');
    menu.press({ 0, 80, 13 });
    auto outcome = menu.test.run({ "seja n 2", "menu executa n t x" });
    ASSERT_FALSE(outcome.failed);
    EXPECT_EQ(menu.row(2).substr(2, 10), "um        ");
    EXPECT_EQ(menu.row(3).substr(2, 10), "dois      ");
    EXPECT_EQ(menu.row(4).substr(2, 10), "tr\xEAs      ");
    EXPECT_EQ(menu.colour_at(3, 2), console::menu_marked_colour);
    EXPECT_EQ(menu.colour_at(12, 2), console::menu_marked_colour);
    EXPECT_EQ(menu.colour_at(3, 3), 7);
    EXPECT_EQ(menu.colour_at(3, 4), console::menu_highlight_colour);
    EXPECT_EQ(menu.colour_at(13, 4), 15); // outside the rectangle nothing is drawn
    EXPECT_EQ(menu.screen.console.attribute() & 0x0F, 7);
    // The cursor waits on the chosen row's left column.
    EXPECT_EQ(menu.screen.console.where_x(), 3);
    EXPECT_EQ(menu.screen.console.where_y(), 4);
    EXPECT_EQ(menu.test.variable("n"), "3");
    EXPECT_EQ(menu.test.variable("t"), "#13");
    EXPECT_EQ(menu.test.variable("x"), "tr\xEAs");
    // Every move spoke the item it reached, after stopping the speech.
    std::vector<std::string> spoken { "dois", "tr\xEAs" };
    EXPECT_EQ(menu.test.ports.speech, spoken);
    std::vector<std::string> cues { "stop" };
    EXPECT_EQ(menu.test.ports.cues, cues);
    EXPECT_EQ(menu.test.ports.missed_keys, 0);
}

TEST(MenuStatement, MarkedItemBeepsWhenHighlighted)
{
    MenuTest menu;
    // "*" marks both; each draw of a marked highlight beeps, and the beep
    // takes the keys still waiting, so Enter ends the choice afterwards.
    menu.press({ '*' });
    auto outcome = menu.test.run({
        "menu cria 1 1 10 2",
        "menu adiciona \"a\"",
        "menu adiciona \"b\"",
        "menu executa n t x",
    });
    ASSERT_FALSE(outcome.failed);
    std::vector<std::string> cues { "beep" };
    EXPECT_EQ(menu.test.ports.cues, cues);
    EXPECT_EQ(menu.test.variable("t"), "#13");
    EXPECT_EQ(menu.colour_at(1, 1), console::menu_highlight_colour);
    EXPECT_EQ(menu.colour_at(1, 2), console::menu_marked_colour);
}

TEST(MenuStatement, LongItemIsCutButSpokenAndReturnedWhole)
{
    MenuTest menu;
    menu.press({ 0, 80, 13 });
    auto outcome = menu.test.run({
        "menu cria 1 1 6 2",
        "menu adiciona \"curto\"",
        "menu adiciona \"um item bem comprido\"",
        "menu executa n t x",
    });
    ASSERT_FALSE(outcome.failed);
    EXPECT_EQ(menu.row(1).substr(0, 7), "curto  ");
    EXPECT_EQ(menu.row(2).substr(0, 7), "um ite ");
    EXPECT_EQ(menu.test.ports.speech.back(), "um item bem comprido");
    EXPECT_EQ(menu.test.variable("x"), "um item bem comprido");
}

TEST(MenuStatement, StartItemComesFromTheFirstTarget)
{
    MenuTest menu;
    menu.press({ 'z', 'y', 'w' });
    auto outcome = menu.test.run({
        "menu cria 1 1 10 5",
        "menu adiciona \"a\"",
        "menu adiciona \"b\"",
        "menu adiciona \"c\"",
        "seja n \" 2 \"",
        "menu executa n t x",
        "seja m n",
        // Not a number: the start item of the last choice stays.
        "seja n \"dois\"",
        "menu executa n t y",
        "seja p 0",
        "menu executa p t z",
    });
    ASSERT_FALSE(outcome.failed);
    EXPECT_EQ(menu.test.variable("m"), "2");
    EXPECT_EQ(menu.test.variable("x"), "b");
    EXPECT_EQ(menu.test.variable("n"), "2");
    EXPECT_EQ(menu.test.variable("y"), "b");
    EXPECT_EQ(menu.test.variable("p"), "1");
    EXPECT_EQ(menu.test.variable("z"), "a");
    EXPECT_EQ(menu.test.variable("t"), "w");
}

TEST(MenuStatement, CriaStartsAnEmptyMenuFromItemOne)
{
    MenuTest menu;
    menu.press({ 'q', 'r' });
    auto outcome = menu.test.run({
        "menu cria 1 1 10 5",
        "menu adiciona \"velho 1\"",
        "menu adiciona \"velho 2\"",
        "seja n 2",
        "menu executa n t x",
        "menu cria 1 1 10 5",
        "menu adiciona \"novo 1\"",
        "menu adiciona \"novo 2\"",
        "seja n \"\"", // no number: the new menu's own start item counts
        "menu executa n t y",
    });
    ASSERT_FALSE(outcome.failed);
    EXPECT_EQ(menu.test.variable("x"), "velho 2");
    EXPECT_EQ(menu.test.variable("n"), "1");
    EXPECT_EQ(menu.test.variable("y"), "novo 1");
    EXPECT_EQ(menu.state.menu->item_count(), 2);
}

TEST(MenuStatement, SidewaysKeysReturnToTheStartItem)
{
    MenuTest menu;
    // Down twice, Left (back to item 2), Ctrl+Right (again), F2 ends.
    menu.press({ 0, 80, 0, 80, 0, 75, 0, 116, 0, 60 });
    auto outcome = menu.test.run({
        "menu cria 1 1 10 5",
        "menu adiciona \"a\"",
        "menu adiciona \"b\"",
        "menu adiciona \"c\"",
        "menu adiciona \"d\"",
        "seja n 2",
        "menu executa n t x",
    });
    ASSERT_FALSE(outcome.failed);
    EXPECT_EQ(menu.test.variable("n"), "2");
    EXPECT_EQ(menu.test.variable("t"), "#0#60");
    EXPECT_EQ(menu.test.variable("x"), "b");
    std::vector<std::string> spoken { "b", "c", "d", "b", "b" };
    EXPECT_EQ(menu.test.ports.speech, spoken);
}

TEST(MenuStatement, PastEitherEndHoldsNoItem)
{
    MenuTest menu;
    menu.press({ 0, 72 }); // Up from the first item: a beep takes the Enter too
    auto outcome = menu.test.run({
        "menu cria 1 1 10 5",
        "menu adiciona \"a\"",
        "menu executa n t x",
    });
    ASSERT_FALSE(outcome.failed);
    EXPECT_EQ(menu.test.variable("n"), "0");
    EXPECT_EQ(menu.test.variable("t"), "#13");
    EXPECT_EQ(menu.test.variable("x"), "");
    EXPECT_EQ(menu.test.ports.speech.back(), "");
    // With no item highlighted the cursor waits on the top row.
    EXPECT_EQ(menu.screen.console.where_y(), 1);
}

TEST(MenuStatement, TheCursorStaysOnTheHighlightPastTheLastItem)
{
    // A magnifier follows the cursor: after Down past the last item it must
    // stay on the highlighted (empty) row, not go back to the top.
    MenuTest menu;
    menu.press({ 0, 80, 0, 80 }); // the second Down passes the last item: a beep
    auto outcome = menu.test.run({
        "menu cria 1 3 10 8",
        "menu adiciona \"a\"",
        "menu adiciona \"b\"",
        "menu executa n t x",
    });
    ASSERT_FALSE(outcome.failed);
    EXPECT_EQ(menu.test.variable("n"), "3");
    EXPECT_EQ(menu.screen.console.where_y(), 5);
    EXPECT_EQ(menu.colour_at(1, 5), console::menu_highlight_colour);
}

// The window marks the highlighted item beyond its colours: the screen is
// told which cells it covers, wherever it moves, and that it is gone.
TEST(MenuDrawing, TheScreenIsToldWhereTheHighlightIs)
{
    using Highlight = platform::HeadlessScreen::Highlight;
    console_test::ConsoleFixture screen;
    console::Menu menu({ .left = 3, .top = 2, .right = 12, .bottom = 5 });
    for (const char* item : { "um", "dois" })
        menu.add_item(item);
    menu.start_choice();
    menu.scroll();
    console::draw_menu(screen.console, menu, 7);
    EXPECT_EQ(screen.screen.highlight(), (Highlight { 1, 2, 10 }));
    for (int step = 0; step < 2; ++step)
        menu.press_extended(console::extended_key::down, 0);
    menu.scroll();
    console::draw_menu(screen.console, menu, 7);
    EXPECT_EQ(screen.screen.highlight(), (Highlight { 3, 2, 10 })) << "the place after the last item";
    EXPECT_EQ(screen.console.where_y(), 4);
    // Before the first item nothing is highlighted.
    for (int step = 0; step < 3; ++step)
        menu.press_extended(console::extended_key::up, 0);
    menu.scroll();
    console::draw_menu(screen.console, menu, 7);
    EXPECT_EQ(screen.screen.highlight().length, 0);
}

TEST(MenuStatement, TerminaBlanksTheRectangle)
{
    MenuTest menu;
    menu.screen.console.write_chars("0123456789ABCDEF\r\n0123456789ABCDEF\r\n0123456789ABCDEF");
    menu.screen.console.set_background_colour(1);
    ASSERT_FALSE(menu.test.run({ "menu cria 3 2 6 3", "menu termina" }).failed);
    EXPECT_EQ(menu.row(1).substr(0, 16), "0123456789ABCDEF");
    EXPECT_EQ(menu.row(2).substr(0, 16), "01    6789ABCDEF");
    EXPECT_EQ(menu.row(3).substr(0, 16), "01    6789ABCDEF");
    EXPECT_EQ(menu.screen.console.screen().attribute_at(2, 1) >> 4, 1);
    EXPECT_EQ(menu.screen.console.where_x(), 3);
    EXPECT_EQ(menu.screen.console.where_y(), 2);
}

TEST(MenuStatement, ShowsTheItemInTheMagnifier)
{
    MenuTest menu;
    console::MagnifierSettings magnify;
    magnify.scale = 2;
    menu.screen.console.magnifier().configure(magnify);
    menu.press({ 0, 80, 27 });
    auto outcome = menu.test.run({
        "menu cria 1 1 10 5",
        "menu adiciona \"primeiro\"",
        "menu adiciona \"segundo\"",
        "menu executa n t x",
    });
    ASSERT_FALSE(outcome.failed);
    EXPECT_TRUE(menu.screen.console.magnifier().shown());
    EXPECT_EQ(menu.screen.console.magnifier().line(), "segundo");
    EXPECT_EQ(menu.screen.console.magnifier().cursor(), 0);
    EXPECT_EQ(menu.test.variable("t"), "#27");
}

}
