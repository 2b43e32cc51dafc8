// SPDX-License-Identifier: GPL-3.0-or-later
// BrailleOutput: the console's row shown on a display, and the display's keys typed into the console.
#pragma once

#include "braille/key_translation.h"
#include "platform/braille_display.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace braille {

// Dots 7 and 8 under the caret's cell.
constexpr uint8_t cursor_dots = 0xC0;

// The cells a display of `cell_count` cells shows for a row (80 bytes of
// the screen), with the caret, when `caret_column` is not negative.
std::vector<uint8_t> cells_of_row(std::string_view row, int cell_count, int caret_column);

class BrailleOutput {
public:
    // `display` must have cells.
    explicit BrailleOutput(platform::BrailleDisplay& display)
        : m_display(display)
    {
    }

    // Rows repeated unchanged (the caret moving along the same row) are
    // written once.
    void show_row(std::string_view row, int caret_column);

    // A key report on the loop's thread: the bytes for the key queue (a 0
    // and a scan code for a cursor key), none when the report types nothing.
    std::vector<uint8_t> key_bytes(platform::BrailleKeyReport report);

    platform::BrailleDisplay& display() { return m_display; }

private:
    platform::BrailleDisplay& m_display;
    KeyTranslation m_keys;
    std::vector<uint8_t> m_shown;
};

}
