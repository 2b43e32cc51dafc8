// SPDX-License-Identifier: GPL-3.0-or-later
// MagnifierLayout: where the window draws the magnifier's characters, and in which colours.
#pragma once

#include "platform/screen_sink.h"
#include "platform/sdl/window_cells.h"

#include <array>
#include <cstdint>
#include <vector>

namespace platform {

// One magnified character: its box in window pixels and the colour number
// of its strokes. Every box is filled with the layout's background first.
struct MagnifiedCell {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    uint8_t character = ' ';
    int colour = 0;
};

struct MagnifierLayout {
    int background_colour = 0;
    std::vector<MagnifiedCell> cells;
};

// The view's characters side by side from the window's top left corner,
// each `scale` cells wide and high. A cursor that stands just past the last
// character still gets a box of its own, blank, so that the user sees where
// the next character goes. Nothing is laid out past 80 cell widths, nor for
// a scale below 1.
MagnifierLayout lay_out_magnifier(const MagnifierView& view, CellSize cell);

// Whether `count` cells of `row` from `column` on lie under the magnifier,
// so that drawing them paints over it.
bool magnifier_covers(const MagnifierView& view, int row, int column, int count);

// The colour a magnifier colour number draws: the window's colours (the
// console's colour map already applied), black for a number outside 0..15.
Rgb magnifier_colour(int number, const std::array<Rgb, 16>& colours);

}
