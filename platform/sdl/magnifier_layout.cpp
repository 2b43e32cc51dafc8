// SPDX-License-Identifier: GPL-3.0-or-later
// MagnifierLayout: where the window draws the magnifier's characters, and in which colours.
#include "platform/sdl/magnifier_layout.h"

#include <algorithm>

namespace platform {

namespace {

constexpr int largest_scale = 10;

}

MagnifierLayout lay_out_magnifier(const MagnifierView& view, CellSize cell)
{
    MagnifierLayout layout;
    layout.background_colour = view.background_colour;
    if (view.scale < 1 || cell.width < 1 || cell.height < 1)
        return layout;
    int scale = std::min(view.scale, largest_scale);
    int across = screen_columns / scale;
    int length = static_cast<int>(std::min(view.text.size(), static_cast<size_t>(across)));
    int boxes = length;
    if (view.cursor == length && length < across)
        ++boxes;
    layout.cells.reserve(static_cast<size_t>(boxes));
    for (int index = 0; index < boxes; ++index) {
        MagnifiedCell shown;
        shown.width = scale * cell.width;
        shown.height = scale * cell.height;
        shown.x = index * shown.width;
        shown.character = index < length ? static_cast<uint8_t>(view.text[static_cast<size_t>(index)]) : ' ';
        shown.colour = index == view.cursor ? view.cursor_colour : view.text_colour;
        layout.cells.push_back(shown);
    }
    return layout;
}

bool magnifier_covers(const MagnifierView& view, int row, int column, int count)
{
    // Laid out in cells rather than pixels, the boxes say which cells hide.
    auto layout = lay_out_magnifier(view, CellSize { 1, 1 });
    if (layout.cells.empty() || count <= 0 || row < 0)
        return false;
    const auto& last = layout.cells.back();
    return row < last.height && column < last.x + last.width && column + count > 0;
}

Rgb magnifier_colour(int number, const std::array<Rgb, 16>& colours)
{
    if (number < 0 || number >= static_cast<int>(colours.size()))
        return Rgb {};
    return colours[static_cast<size_t>(number)];
}

}
