// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the screen model: writing, wrapping, scrolling, clearing and what the sink is told.
#include "console/screen_buffer.h"
#include "platform/headless/headless_screen.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using console::ScreenBuffer;

std::string trimmed_row(const ScreenBuffer& screen, int row)
{
    auto text = screen.row_text(row);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

void expect_sink_matches_model(const ScreenBuffer& model, const platform::HeadlessScreen& sink)
{
    for (int row = 0; row < console::screen_rows; ++row) {
        for (int column = 0; column < console::screen_columns; ++column) {
            ASSERT_EQ(sink.character_at(column, row), model.character_at(column, row)) << column << "," << row;
            ASSERT_EQ(sink.attribute_at(column, row), model.attribute_at(column, row)) << column << "," << row;
        }
    }
    EXPECT_EQ(sink.cursor_column(), model.cursor_column());
    EXPECT_EQ(sink.cursor_row(), model.cursor_row());
}

TEST(ScreenBuffer, WrapWaitsForTheCharacterAfterTheLastColumn)
{
    ScreenBuffer screen;
    screen.write_chars(std::string(80, 'a'));
    EXPECT_EQ(screen.cursor_column(), 80);
    EXPECT_EQ(screen.cursor_row(), 0);
    EXPECT_EQ(screen.where_x(), 81);
    screen.write_chars("b");
    EXPECT_EQ(screen.character_at(0, 1), 'b');
    EXPECT_EQ(screen.cursor_column(), 1);
    EXPECT_EQ(screen.cursor_row(), 1);
    EXPECT_EQ(trimmed_row(screen, 0), std::string(80, 'a'));
}

TEST(ScreenBuffer, EightyCharactersThenLineEndMakeOneLineOnly)
{
    ScreenBuffer screen;
    screen.write_chars(std::string(80, 'x') + "\r\n" + "y");
    EXPECT_EQ(screen.character_at(0, 1), 'y');
    EXPECT_EQ(trimmed_row(screen, 2), "");
}

TEST(ScreenBuffer, LineFeedOnTheLastRowScrollsOneRow)
{
    ScreenBuffer screen;
    for (int row = 0; row < console::screen_rows; ++row) {
        screen.write_chars(std::string(1, static_cast<char>('A' + row)));
        if (row + 1 < console::screen_rows)
            screen.write_chars("\r\n");
    }
    screen.set_attribute(0x1E);
    screen.write_chars("\n");
    EXPECT_EQ(trimmed_row(screen, 0), "B");
    EXPECT_EQ(trimmed_row(screen, 23), "Y");
    EXPECT_EQ(trimmed_row(screen, 24), "");
    EXPECT_EQ(screen.attribute_at(5, 24), 0x1E) << "the new row takes the current attribute";
    EXPECT_EQ(screen.cursor_column(), 0);
    EXPECT_EQ(screen.cursor_row(), 24);
}

TEST(ScreenBuffer, ControlBytes)
{
    platform::HeadlessScreen sink;
    ScreenBuffer screen;
    screen.set_sink(&sink);
    screen.write_chars("ab\bc");
    EXPECT_EQ(trimmed_row(screen, 0), "ac");
    screen.write_chars("\rX");
    EXPECT_EQ(trimmed_row(screen, 0), "Xc");
    // Bytes below 32 other than 7, 8, 10 and 13 are ignored.
    screen.write_chars(std::string("\x01\x09\x1b\x00", 4) + "Y");
    EXPECT_EQ(trimmed_row(screen, 0), "XY");
    screen.write_chars("\a\a");
    EXPECT_EQ(sink.beeps(), 2);
    EXPECT_EQ(trimmed_row(screen, 0), "XY");
    // 255 and the other high bytes are characters.
    screen.write_chars("\xFF\xE7");
    EXPECT_EQ(screen.character_at(2, 0), 0xFF);
    EXPECT_EQ(screen.character_at(3, 0), 0xE7);
}

TEST(ScreenBuffer, BackspaceInColumnZeroDoesNothing)
{
    ScreenBuffer screen;
    screen.write_chars("ab\r\b");
    EXPECT_EQ(trimmed_row(screen, 0), "ab");
    EXPECT_EQ(screen.cursor_column(), 0);
    EXPECT_EQ(screen.cursor_row(), 0);
}

TEST(ScreenBuffer, BackspaceErasesWithTheCurrentAttribute)
{
    ScreenBuffer screen(0x07);
    screen.write_chars("ab");
    screen.set_attribute(0x40);
    screen.write_chars("\b");
    EXPECT_EQ(screen.character_at(1, 0), ' ');
    EXPECT_EQ(screen.attribute_at(1, 0), 0x40);
    EXPECT_EQ(screen.attribute_at(0, 0), 0x07);
}

TEST(ScreenBuffer, GotoClampsEachCoordinate)
{
    ScreenBuffer screen;
    screen.goto_xy(0, 0);
    EXPECT_EQ(screen.where_x(), 1);
    EXPECT_EQ(screen.where_y(), 1);
    screen.goto_xy(200, 200);
    EXPECT_EQ(screen.where_x(), 80);
    EXPECT_EQ(screen.where_y(), 25);
    screen.goto_xy(-5, 12);
    EXPECT_EQ(screen.where_x(), 1);
    EXPECT_EQ(screen.where_y(), 12);
    screen.goto_xy(10, 5);
    screen.write_chars("z");
    EXPECT_EQ(screen.character_at(9, 4), 'z');
}

TEST(ScreenBuffer, ClearingUsesTheCurrentAttribute)
{
    ScreenBuffer screen(0x0F);
    screen.write_chars("hello\r\nworld");
    screen.goto_xy(3, 1);
    screen.set_attribute(0x21);
    screen.clear_to_end_of_line();
    EXPECT_EQ(trimmed_row(screen, 0), "he");
    EXPECT_EQ(screen.attribute_at(1, 0), 0x0F);
    EXPECT_EQ(screen.attribute_at(2, 0), 0x21);
    EXPECT_EQ(screen.attribute_at(79, 0), 0x21);
    EXPECT_EQ(trimmed_row(screen, 1), "world");

    screen.set_attribute(0x35);
    screen.clear_screen();
    EXPECT_EQ(trimmed_row(screen, 1), "");
    EXPECT_EQ(screen.attribute_at(40, 20), 0x35);
    EXPECT_EQ(screen.cursor_column(), 0);
    EXPECT_EQ(screen.cursor_row(), 0);
}

TEST(ScreenBuffer, ClearToEndOfLinePastTheLastColumnKeepsTheRow)
{
    ScreenBuffer screen;
    screen.write_chars(std::string(80, 'q'));
    screen.clear_to_end_of_line();
    EXPECT_EQ(trimmed_row(screen, 0), std::string(80, 'q'));
}

TEST(ScreenBuffer, AWriteDrawsOneRunPerAttribute)
{
    platform::HeadlessScreen sink;
    ScreenBuffer screen(0x07);
    screen.set_sink(&sink);
    screen.write_chars("aaa");
    screen.set_attribute(0x1F);
    screen.write_chars("bb");
    int before = sink.runs_drawn();
    screen.goto_xy(1, 1);
    screen.write_chars("xxxxx");
    // Cells 0..4 now share one attribute, the 0x1F of the last write.
    EXPECT_EQ(sink.runs_drawn() - before, 1);
    EXPECT_EQ(sink.attribute_at(0, 0), 0x1F);
}

// Random writes, moves and scrolls in both scrolling methods: the sink must
// end up showing exactly the model.
TEST(ScreenBuffer, SinkAlwaysShowsTheModel)
{
    for (bool block_scroll : { false, true }) {
        platform::HeadlessScreen sink;
        ScreenBuffer screen(0x07);
        screen.set_sink(&sink);
        screen.set_block_scroll(block_scroll);
        screen.repaint();
        std::mt19937 random(block_scroll ? 7 : 11);
        const std::string pieces[] = { "abc", "\r\n", "\n", "\b", "\r", std::string(90, 'w'), "\xE9\xE7", "\a" };
        for (int step = 0; step < 3000; ++step) {
            int choice = static_cast<int>(random() % 12);
            if (choice < 8)
                screen.write_chars(pieces[choice]);
            else if (choice == 8)
                screen.goto_xy(static_cast<int>(random() % 90), static_cast<int>(random() % 30));
            else if (choice == 9)
                screen.set_attribute(static_cast<uint8_t>(random()));
            else if (choice == 10)
                screen.clear_to_end_of_line();
            else if (random() % 50 == 0)
                screen.clear_screen();
        }
        expect_sink_matches_model(screen, sink);
        if (block_scroll)
            EXPECT_GT(sink.scrolls(), 0);
        else
            EXPECT_EQ(sink.scrolls(), 0);
    }
}

TEST(ScreenBuffer, RowListenerHearsTheCursorRow)
{
    ScreenBuffer screen;
    std::string heard;
    screen.set_row_listener([&](std::string_view row) { heard = std::string(row); });
    screen.write_chars("linha");
    EXPECT_EQ(heard.substr(0, 6), "linha ");
    screen.goto_xy(1, 2);
    EXPECT_EQ(heard, std::string(80, ' '));
}

}
