// SPDX-License-Identifier: GPL-3.0-or-later
// ScreenBuffer: the console's 80x25 cells, its cursor and its current attribute.
#pragma once

#include "platform/screen_sink.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace console {

constexpr int screen_columns = platform::screen_columns;
constexpr int screen_rows = platform::screen_rows;

// The model of the text screen. Every change is also told to the sink, when
// there is one, the way the console draws: the touched cells of the current
// row as runs of equal attribute once a write is done (or the row is left),
// a full repaint after a clear or a scroll without block copy.
class ScreenBuffer {
public:
    explicit ScreenBuffer(uint8_t attribute = 0x0F);

    void set_sink(platform::ScreenSink* sink) { m_sink = sink; }
    // The scrolling method of LENTO: move the rows instead of repainting.
    void set_block_scroll(bool block_scroll) { m_block_scroll = block_scroll; }
    // Called with the cursor's row after every write and cursor move (the
    // braille echo).
    void set_row_listener(std::function<void(std::string_view)> listener) { m_row_listener = std::move(listener); }

    // Bytes at the cursor: 7 beeps, 8 erases to the left, 10 starts a new
    // line, 13 returns to column 0, 32..255 are stored; others are ignored.
    // A character written past the last column first wraps to a new line.
    void write_chars(std::string_view bytes);
    void clear_screen();
    void clear_to_end_of_line();
    // One-based; each coordinate is clamped to the screen.
    void goto_xy(int column, int row);
    int where_x() const { return m_column + 1; }
    int where_y() const { return m_row + 1; }
    // Zero-based; the column is 80 after a write that filled the row.
    int cursor_column() const { return m_column; }
    int cursor_row() const { return m_row; }

    uint8_t attribute() const { return m_attribute; }
    void set_attribute(uint8_t attribute) { m_attribute = attribute; }

    uint8_t character_at(int column, int row) const { return m_characters[index(column, row)]; }
    uint8_t attribute_at(int column, int row) const { return m_attributes[index(column, row)]; }
    // The 80 characters of a row (zero-based).
    std::string row_text(int row) const;

    // Sends every cell and the cursor to the sink.
    void repaint();

private:
    static size_t index(int column, int row) { return static_cast<size_t>(row * screen_columns + column); }
    void touch(int column);
    void draw_touched();
    void draw_row(int row, int from, int to);
    void new_line();
    void cursor_moved();

    std::array<uint8_t, screen_columns * screen_rows> m_characters {};
    std::array<uint8_t, screen_columns * screen_rows> m_attributes {};
    int m_column = 0;
    int m_row = 0;
    uint8_t m_attribute;
    // The span of the cursor's row changed since it was last drawn; empty
    // when left > right.
    int m_touched_left = screen_columns;
    int m_touched_right = -1;
    bool m_block_scroll = false;
    platform::ScreenSink* m_sink = nullptr;
    std::function<void(std::string_view)> m_row_listener;
};

}
