// SPDX-License-Identifier: GPL-3.0-or-later
// WindowCells: the window's own copy of the screen, to repaint from.
#include "platform/sdl/window_cells.h"

#include <algorithm>

namespace platform {

CellColours cell_colours(uint8_t attribute, const std::array<Rgb, 16>& colours)
{
    return { colours[attribute & 15u], colours[(attribute >> 4) & 15u] };
}

CellSize cell_size(std::optional<int> width, std::optional<int> height, int work_area_width,
    int work_area_height, int (*default_width)(int), int (*default_height)(int))
{
    CellSize size;
    size.width = width ? *width : default_width(work_area_width);
    size.height = height ? *height : default_height(work_area_height);
    // A work area too small to give a cell its share still gets a readable
    // cell rather than an empty window.
    size.width = std::max(size.width, 1);
    size.height = std::max(size.height, 1);
    return size;
}

SizeLimits size_limits(CellSize cell, int screen_width, int screen_height)
{
    SizeLimits limits;
    limits.max_width = std::min(screen_columns * cell.width, std::max(screen_width, 1));
    limits.max_height = std::min(screen_rows * cell.height, std::max(screen_height, 1));
    limits.min_width = std::min(16 * cell.width, limits.max_width);
    limits.min_height = std::min(4 * cell.height, limits.max_height);
    return limits;
}

int window_origin(int work_area_start, int work_area_length, int window_length)
{
    return work_area_start + std::max(0, (work_area_length - window_length) / 2);
}

WindowCells::WindowCells()
{
    m_changed.set();
}

void WindowCells::draw_run(int row, int column, std::string_view text, uint8_t attribute)
{
    if (row < 0 || row >= screen_rows || column < 0)
        return;
    auto& cells = m_cells[static_cast<size_t>(row)];
    for (char byte : text) {
        if (column >= screen_columns)
            break;
        cells[static_cast<size_t>(column)] = { static_cast<uint8_t>(byte), attribute };
        ++column;
    }
    m_changed.set(static_cast<size_t>(row));
}

void WindowCells::scroll_up(uint8_t fill_attribute)
{
    std::move(m_cells.begin() + 1, m_cells.end(), m_cells.begin());
    m_cells.back().fill({ ' ', fill_attribute });
    m_changed.set();
}

}
