// SPDX-License-Identifier: GPL-3.0-or-later
// WindowCells: the window's own copy of the screen, to repaint from.
#pragma once

#include "platform/screen_sink.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// The text and background colours an attribute draws with the given colours.
struct CellColours {
    Rgb text;
    Rgb background;
};
CellColours cell_colours(uint8_t attribute, const std::array<Rgb, 16>& colours);

// The size of one cell in pixels: the settings' values, or for a missing one
// the work area's share that `default_width`/`default_height` compute.
struct CellSize {
    int width = 0;
    int height = 0;
};
CellSize cell_size(std::optional<int> width, std::optional<int> height, int work_area_width,
    int work_area_height, int (*default_width)(int), int (*default_height)(int));

// The window's size limits for a cell size and the screen it is on: at
// most the 80 x 25 cells (less when the screen is smaller), at least 16 x 4.
struct SizeLimits {
    int min_width = 0;
    int min_height = 0;
    int max_width = 0;
    int max_height = 0;
};
SizeLimits size_limits(CellSize cell, int screen_width, int screen_height);

// The cells as the console sent them, and which rows changed since they
// were last drawn.
class WindowCells {
public:
    struct Cell {
        uint8_t character = ' ';
        uint8_t attribute = 0x0F;
    };

    WindowCells();

    void draw_run(int row, int column, std::string_view text, uint8_t attribute);
    void scroll_up(uint8_t fill_attribute);
    const Cell& at(int row, int column) const { return m_cells[static_cast<size_t>(row)][static_cast<size_t>(column)]; }

    void mark_all_changed() { m_changed.set(); }
    bool changed(int row) const { return m_changed.test(static_cast<size_t>(row)); }
    void clear_changed() { m_changed.reset(); }

private:
    std::array<std::array<Cell, screen_columns>, screen_rows> m_cells {};
    std::bitset<screen_rows> m_changed;
};

}
