// SPDX-License-Identifier: GPL-3.0-or-later
// ColourTable: the console's fixed palette and the colour map in front of it.
#pragma once

#include "platform/screen_sink.h"

#include <array>

namespace console {

// The 16 colours of the console: black, blue, green, cyan, red, magenta,
// brown, light grey, dark grey, light blue, light green, light cyan, light
// red, light magenta, yellow, white.
constexpr std::array<platform::Rgb, 16> console_palette { {
    { 0, 0, 0 },
    { 0, 0, 255 },
    { 0, 255, 0 },
    { 0, 255, 255 },
    { 255, 0, 0 },
    { 142, 0, 142 },
    { 68, 34, 34 },
    { 192, 192, 192 },
    { 40, 40, 40 },
    { 128, 128, 255 },
    { 128, 255, 128 },
    { 128, 255, 255 },
    { 255, 128, 128 },
    { 255, 128, 255 },
    { 255, 255, 0 },
    { 255, 255, 255 },
} };

// A colour number of an attribute goes through the map to a palette entry;
// a map entry outside 0..15 draws black.
class ColourTable {
public:
    ColourTable();
    explicit ColourTable(const std::array<int, 16>& map);

    platform::Rgb colour(int colour_number) const;
    // The colour every number draws, for the screen sink.
    std::array<platform::Rgb, 16> resolved() const;
    const std::array<int, 16>& map() const { return m_map; }

private:
    std::array<int, 16> m_map;
};

}
