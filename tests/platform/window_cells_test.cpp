// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the window's copy of the cells, its colours and its size rules.
#include "platform/sdl/window_cells.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::Rgb;
using platform::WindowCells;

std::string row_text(const WindowCells& cells, int row)
{
    std::string text;
    for (int column = 0; column < platform::screen_columns; ++column)
        text += static_cast<char>(cells.at(row, column).character);
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

TEST(WindowCells, AttributeDrawsTextInTheLowAndBackgroundInTheHighBits)
{
    std::array<Rgb, 16> colours {};
    for (int index = 0; index < 16; ++index)
        colours[static_cast<size_t>(index)] = { static_cast<uint8_t>(index), static_cast<uint8_t>(16 * index), 1 };
    auto drawn = platform::cell_colours(0x1E, colours);
    EXPECT_EQ(drawn.text, colours[14]);
    EXPECT_EQ(drawn.background, colours[1]);
    drawn = platform::cell_colours(0xF0, colours);
    EXPECT_EQ(drawn.text, colours[0]);
    EXPECT_EQ(drawn.background, colours[15]);
}

TEST(WindowCells, RunsStopAtTheScreenEdgeAndMarkTheirRow)
{
    WindowCells cells;
    cells.clear_changed();
    cells.draw_run(3, 78, "abcd", 0x1E);
    EXPECT_EQ(cells.at(3, 78).character, 'a');
    EXPECT_EQ(cells.at(3, 79).character, 'b');
    EXPECT_EQ(cells.at(3, 79).attribute, 0x1E);
    EXPECT_EQ(cells.at(4, 0).character, ' ');
    EXPECT_TRUE(cells.changed(3));
    EXPECT_FALSE(cells.changed(2));
    EXPECT_FALSE(cells.changed(4));
    // Rows and columns outside the screen are refused, not written elsewhere.
    cells.clear_changed();
    cells.draw_run(25, 0, "x", 0x07);
    cells.draw_run(-1, 0, "x", 0x07);
    cells.draw_run(0, -1, "x", 0x07);
    cells.draw_run(0, 80, "x", 0x07);
    EXPECT_EQ(row_text(cells, 0), "");
    EXPECT_FALSE(cells.changed(24));
}

TEST(WindowCells, ScrollMovesRowsUpAndFillsTheLastWithTheAttribute)
{
    WindowCells cells;
    cells.draw_run(0, 0, "first", 0x07);
    cells.draw_run(1, 0, "second", 0x1F);
    cells.draw_run(24, 2, "last", 0x2A);
    cells.clear_changed();
    cells.scroll_up(0x40);
    EXPECT_EQ(row_text(cells, 0), "second");
    EXPECT_EQ(cells.at(0, 0).attribute, 0x1F);
    EXPECT_EQ(row_text(cells, 23), "  last");
    EXPECT_EQ(row_text(cells, 24), "");
    EXPECT_EQ(cells.at(24, 79).attribute, 0x40);
    for (int row = 0; row < platform::screen_rows; ++row)
        EXPECT_TRUE(cells.changed(row)) << row;
}

int width_share(int work_area_width) { return work_area_width / 100; }
int height_share(int work_area_height) { return work_area_height / 40; }

TEST(WindowCells, CellSizeComesFromTheSettingsOrTheWorkArea)
{
    auto size = platform::cell_size(12, 22, 1000, 800, width_share, height_share);
    EXPECT_EQ(size.width, 12);
    EXPECT_EQ(size.height, 22);
    size = platform::cell_size(std::nullopt, 22, 1000, 800, width_share, height_share);
    EXPECT_EQ(size.width, 10);
    EXPECT_EQ(size.height, 22);
    size = platform::cell_size(12, std::nullopt, 1000, 800, width_share, height_share);
    EXPECT_EQ(size.height, 20);
    // A tiny work area still gives cells that can be seen.
    size = platform::cell_size(std::nullopt, std::nullopt, 10, 10, width_share, height_share);
    EXPECT_EQ(size.width, 1);
    EXPECT_EQ(size.height, 1);
}

TEST(WindowCells, WindowIsAtMostTheScreenAndAtLeastSixteenByFourCells)
{
    auto limits = platform::size_limits({ 10, 20 }, 1920, 1080);
    EXPECT_EQ(limits.max_width, 800);
    EXPECT_EQ(limits.max_height, 500);
    EXPECT_EQ(limits.min_width, 160);
    EXPECT_EQ(limits.min_height, 80);
    limits = platform::size_limits({ 16, 39 }, 1024, 768);
    EXPECT_EQ(limits.max_width, 1024);
    EXPECT_EQ(limits.max_height, 768);
    EXPECT_EQ(limits.min_width, 256);
    EXPECT_EQ(limits.min_height, 156);
    // A screen smaller than the least size keeps the limits consistent.
    limits = platform::size_limits({ 16, 39 }, 200, 100);
    EXPECT_LE(limits.min_width, limits.max_width);
    EXPECT_LE(limits.min_height, limits.max_height);
}

TEST(WindowCells, AWindowIsCentredAndNeverStartsBeforeTheWorkArea)
{
    struct Case {
        int start, length, window, origin;
    };
    const Case cases[] = {
        { 0, 1280, 800, 240 },
        { 30, 1024, 1024, 30 },
        // Wider than the screen (80 cells of 13 pixels on 1024): the first
        // column stays on it.
        { 0, 1024, 1040, 0 },
        { 24, 734, 900, 24 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::window_origin(c.start, c.length, c.window), c.origin) << c.length << " " << c.window;
}

}
