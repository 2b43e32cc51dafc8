// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of where the window draws the magnifier's characters and in which colours.
#include "platform/sdl/magnifier_layout.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::CellSize;
using platform::MagnifierView;

// One box as "x,y,wxh:character/colour", boxes separated by blanks.
std::string describe(const platform::MagnifierLayout& layout)
{
    std::string text;
    for (const auto& box : layout.cells) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(box.x) + "," + std::to_string(box.y) + "," + std::to_string(box.width) + "x"
            + std::to_string(box.height) + ":" + static_cast<char>(box.character) + "/" + std::to_string(box.colour);
    }
    return text;
}

MagnifierView view_of(std::string_view text, int cursor, int scale)
{
    MagnifierView view;
    view.text = text;
    view.cursor = cursor;
    view.scale = scale;
    view.text_colour = 14;
    view.background_colour = 6;
    view.cursor_colour = 3;
    return view;
}

TEST(MagnifierLayout, BoxesAreScaleTimesTheCellFromTheTopLeftCorner)
{
    auto layout = platform::lay_out_magnifier(view_of("abc", 1, 3), CellSize { 10, 20 });
    EXPECT_EQ(layout.background_colour, 6);
    // Before the cursor and after it in the text colour, the cursor's
    // character in the cursor colour.
    EXPECT_EQ(describe(layout), "0,0,30x60:a/14 30,0,30x60:b/3 60,0,30x60:c/14");

    // Scale 1 is the console's own size; a cell of another shape keeps it.
    layout = platform::lay_out_magnifier(view_of("xy", 0, 1), CellSize { 7, 15 });
    EXPECT_EQ(describe(layout), "0,0,7x15:x/3 7,0,7x15:y/14");
}

TEST(MagnifierLayout, ACursorPastTheEndGetsABlankBoxOfItsOwn)
{
    auto layout = platform::lay_out_magnifier(view_of("ab", 2, 2), CellSize { 10, 20 });
    EXPECT_EQ(describe(layout), "0,0,20x40:a/14 20,0,20x40:b/14 40,0,20x40: /3");
    // An empty field shows just the cursor.
    layout = platform::lay_out_magnifier(view_of("", 0, 4), CellSize { 10, 20 });
    EXPECT_EQ(describe(layout), "0,0,40x80: /3");
}

TEST(MagnifierLayout, NothingIsDrawnPastTheWindowsWidth)
{
    // Scale 8 fits 10 characters across the 80 columns: the rest of a longer
    // text, and a cursor beyond them, stay out of the window.
    std::string text(15, 'w');
    auto layout = platform::lay_out_magnifier(view_of(text, 12, 8), CellSize { 10, 20 });
    ASSERT_EQ(layout.cells.size(), 10u);
    EXPECT_EQ(layout.cells.back().x + layout.cells.back().width, 80 * 10);
    for (const auto& box : layout.cells)
        EXPECT_EQ(box.colour, 14);
    // A full row with the cursor just past it gets no eleventh box.
    layout = platform::lay_out_magnifier(view_of(std::string(10, 'w'), 10, 8), CellSize { 10, 20 });
    EXPECT_EQ(layout.cells.size(), 10u);
    // Scales above 10 are drawn as 10; below 1 nothing is drawn.
    layout = platform::lay_out_magnifier(view_of("abcdefghijk", 0, 12), CellSize { 10, 20 });
    ASSERT_EQ(layout.cells.size(), 8u);
    EXPECT_EQ(layout.cells[0].width, 100);
    EXPECT_TRUE(platform::lay_out_magnifier(view_of("abc", 0, 0), CellSize { 10, 20 }).cells.empty());
}

TEST(MagnifierLayout, TextDrawnUnderTheMagnifierIsToldApart)
{
    // "abc" at scale 3 with the cursor past the end: four boxes of 3 x 3
    // cells, so rows 0..2 and columns 0..11 lie under it.
    auto view = view_of("abc", 3, 3);
    EXPECT_TRUE(platform::magnifier_covers(view, 0, 0, 1));
    EXPECT_TRUE(platform::magnifier_covers(view, 2, 11, 1));
    EXPECT_TRUE(platform::magnifier_covers(view, 1, 11, 40));
    EXPECT_FALSE(platform::magnifier_covers(view, 3, 0, 80));
    EXPECT_FALSE(platform::magnifier_covers(view, 0, 12, 68));
    EXPECT_FALSE(platform::magnifier_covers(view, 0, 5, 0));
    // A run that starts left of the screen's edge still reaches under it.
    EXPECT_TRUE(platform::magnifier_covers(view, 0, -2, 3));
    EXPECT_FALSE(platform::magnifier_covers(view, 0, -2, 2));
    // A magnifier that draws nothing hides nothing.
    EXPECT_FALSE(platform::magnifier_covers(view_of("abc", 0, 0), 0, 0, 80));
}

TEST(MagnifierLayout, ColourNumbersGoThroughTheWindowsColours)
{
    std::array<platform::Rgb, 16> colours {};
    for (int index = 0; index < 16; ++index)
        colours[static_cast<size_t>(index)] = { static_cast<uint8_t>(10 * index), 1, 2 };
    EXPECT_EQ(platform::magnifier_colour(3, colours), colours[3]);
    EXPECT_EQ(platform::magnifier_colour(15, colours), colours[15]);
    EXPECT_EQ(platform::magnifier_colour(16, colours), platform::Rgb {});
    EXPECT_EQ(platform::magnifier_colour(-1, colours), platform::Rgb {});
}

}
