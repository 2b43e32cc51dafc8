// SPDX-License-Identifier: GPL-3.0-or-later
// ColourTable: the console's fixed palette and the colour map in front of it.
#include "console/colour_table.h"

namespace console {

ColourTable::ColourTable()
{
    for (int entry = 0; entry < 16; ++entry)
        m_map[static_cast<size_t>(entry)] = entry;
}

ColourTable::ColourTable(const std::array<int, 16>& map)
    : m_map(map)
{
}

platform::Rgb ColourTable::colour(int colour_number) const
{
    int entry = m_map[static_cast<size_t>(colour_number & 15)];
    if (entry < 0 || entry > 15)
        return {};
    return console_palette[static_cast<size_t>(entry)];
}

std::array<platform::Rgb, 16> ColourTable::resolved() const
{
    std::array<platform::Rgb, 16> colours;
    for (int number = 0; number < 16; ++number)
        colours[static_cast<size_t>(number)] = colour(number);
    return colours;
}

}
