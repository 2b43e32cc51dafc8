// SPDX-License-Identifier: GPL-3.0-or-later
// HeadlessScreen: a screen sink that keeps what it was told, for tests and headless runs.
#include "platform/headless/headless_screen.h"

#include <algorithm>

namespace platform {

HeadlessScreen::HeadlessScreen()
{
    m_characters.fill(' ');
}

void HeadlessScreen::draw_run(int row, int column, std::string_view text, uint8_t attribute)
{
    ++m_runs;
    if (row < 0 || row >= screen_rows || column < 0)
        return;
    for (size_t offset = 0; offset < text.size() && column + static_cast<int>(offset) < screen_columns; ++offset) {
        auto at = index(column + static_cast<int>(offset), row);
        m_characters[at] = static_cast<uint8_t>(text[offset]);
        m_attributes[at] = attribute;
    }
}

void HeadlessScreen::scroll_up(uint8_t fill_attribute)
{
    ++m_scrolls;
    std::copy(m_characters.begin() + screen_columns, m_characters.end(), m_characters.begin());
    std::copy(m_attributes.begin() + screen_columns, m_attributes.end(), m_attributes.begin());
    std::fill(m_characters.end() - screen_columns, m_characters.end(), ' ');
    std::fill(m_attributes.end() - screen_columns, m_attributes.end(), fill_attribute);
}

void HeadlessScreen::set_cursor(int column, int row)
{
    m_cursor_column = column;
    m_cursor_row = row;
}

void HeadlessScreen::show_picture(const PictureImage* image, int, int, double)
{
    m_has_picture = image != nullptr;
}

std::string HeadlessScreen::row_text(int row) const
{
    auto start = m_characters.begin() + row * screen_columns;
    return std::string(start, start + screen_columns);
}

}
