// SPDX-License-Identifier: GPL-3.0-or-later
// BrailleOutput: the console's row shown on a display, and the display's keys typed into the console.
#include "braille/braille_output.h"

#include "braille/braille_translation.h"
#include "braille/cell_table.h"

namespace braille {

std::vector<uint8_t> cells_of_row(std::string_view row, int cell_count, int caret_column)
{
    auto translation = translate_row(row);
    auto cells = cells_of_text(translation.text, cell_count);
    if (caret_column >= 0 && static_cast<size_t>(caret_column) < translation.offsets.size()) {
        size_t cell = translation.offsets[static_cast<size_t>(caret_column)];
        if (cell < cells.size())
            cells[cell] |= cursor_dots;
    }
    return cells;
}

void BrailleOutput::show_row(std::string_view row, int caret_column)
{
    auto cells = cells_of_row(row, m_display.cell_count(), caret_column);
    if (cells == m_shown)
        return;
    m_display.write_cells(cells);
    m_shown = std::move(cells);
}

std::vector<uint8_t> BrailleOutput::key_bytes(platform::BrailleKeyReport report)
{
    auto key = m_keys.translate(report);
    // Ctrl+@ would be a 0 with no scan code after it: it types nothing.
    if (!key || (key->character == 0 && key->scan_code == 0))
        return {};
    if (key->character != 0)
        return { key->character };
    return { 0, key->scan_code };
}

}
