// SPDX-License-Identifier: GPL-3.0-or-later
// ScreenBuffer: the console's 80x25 cells, its cursor and its current attribute.
#include "console/screen_buffer.h"

#include <algorithm>

namespace console {

ScreenBuffer::ScreenBuffer(uint8_t attribute)
    : m_attribute(attribute)
{
    m_characters.fill(' ');
    m_attributes.fill(attribute);
}

std::string ScreenBuffer::row_text(int row) const
{
    auto start = m_characters.begin() + row * screen_columns;
    return std::string(start, start + screen_columns);
}

void ScreenBuffer::touch(int column)
{
    m_touched_left = std::min(m_touched_left, column);
    m_touched_right = std::max(m_touched_right, column);
}

void ScreenBuffer::draw_row(int row, int from, int to)
{
    if (!m_sink)
        return;
    // One run per stretch of equal attribute, as one text-output call each.
    int start = from;
    while (start <= to) {
        int end = start;
        uint8_t attribute = m_attributes[index(start, row)];
        while (end + 1 <= to && m_attributes[index(end + 1, row)] == attribute)
            ++end;
        auto text = reinterpret_cast<const char*>(&m_characters[index(start, row)]);
        m_sink->draw_run(row, start, std::string_view(text, static_cast<size_t>(end - start + 1)), attribute);
        start = end + 1;
    }
}

void ScreenBuffer::draw_touched()
{
    if (m_touched_left <= m_touched_right)
        draw_row(m_row, m_touched_left, m_touched_right);
    m_touched_left = screen_columns;
    m_touched_right = -1;
}

void ScreenBuffer::new_line()
{
    draw_touched();
    if (m_row < screen_rows - 1) {
        ++m_row;
        return;
    }
    std::copy(m_characters.begin() + screen_columns, m_characters.end(), m_characters.begin());
    std::copy(m_attributes.begin() + screen_columns, m_attributes.end(), m_attributes.begin());
    std::fill(m_characters.end() - screen_columns, m_characters.end(), ' ');
    std::fill(m_attributes.end() - screen_columns, m_attributes.end(), m_attribute);
    if (!m_sink)
        return;
    if (m_block_scroll) {
        m_sink->scroll_up(m_attribute);
    } else {
        for (int row = 0; row < screen_rows; ++row)
            draw_row(row, 0, screen_columns - 1);
    }
}

void ScreenBuffer::cursor_moved()
{
    if (m_sink)
        m_sink->set_cursor(m_column, m_row);
    if (m_row_listener)
        m_row_listener(row_text(m_row));
}

void ScreenBuffer::write_chars(std::string_view bytes)
{
    for (char byte : bytes) {
        auto c = static_cast<uint8_t>(byte);
        switch (c) {
        case 7:
            if (m_sink)
                m_sink->beep();
            break;
        case 8:
            if (m_column > 0) {
                --m_column;
                m_characters[index(m_column, m_row)] = ' ';
                m_attributes[index(m_column, m_row)] = m_attribute;
                touch(m_column);
            }
            break;
        case 10:
            new_line();
            m_column = 0;
            break;
        case 13:
            m_column = 0;
            break;
        default:
            if (c < 32)
                break;
            if (m_column >= screen_columns) {
                m_column = 0;
                new_line();
            }
            m_characters[index(m_column, m_row)] = c;
            m_attributes[index(m_column, m_row)] = m_attribute;
            touch(m_column);
            ++m_column;
            break;
        }
    }
    draw_touched();
    cursor_moved();
}

void ScreenBuffer::clear_screen()
{
    m_characters.fill(' ');
    m_attributes.fill(m_attribute);
    m_column = 0;
    m_row = 0;
    m_touched_left = screen_columns;
    m_touched_right = -1;
    repaint();
}

void ScreenBuffer::clear_to_end_of_line()
{
    draw_touched();
    if (m_column >= screen_columns)
        return;
    for (int column = m_column; column < screen_columns; ++column) {
        m_characters[index(column, m_row)] = ' ';
        m_attributes[index(column, m_row)] = m_attribute;
    }
    draw_row(m_row, m_column, screen_columns - 1);
}

void ScreenBuffer::goto_xy(int column, int row)
{
    draw_touched();
    m_column = std::clamp(column, 1, screen_columns) - 1;
    m_row = std::clamp(row, 1, screen_rows) - 1;
    cursor_moved();
}

void ScreenBuffer::repaint()
{
    for (int row = 0; row < screen_rows; ++row)
        draw_row(row, 0, screen_columns - 1);
    if (m_sink)
        m_sink->set_cursor(m_column, m_row);
}

}
