// SPDX-License-Identifier: GPL-3.0-or-later
// ReviewReader: the review position of screen review and the reading of words, fields and ranges.
#include "console/review_reader.h"

#include "console/console.h"
#include "console/review_characters.h"
#include "interpreter/ports.h"

#include <algorithm>

namespace console {

namespace {

// A lone sign repeated along a row ("....", "----") is heard as at most
// three, however long the run is.
constexpr int max_repeated_signs = 3;

}

ReviewReader::ReviewReader(interpreter::Ports ports, Console& console, ReviewPosition start)
    : m_ports(ports)
    , m_console(console)
    , m_position(start)
{
}

uint8_t ReviewReader::character_at(int column, int row) const
{
    if (column < 1 || column > screen_columns || row < 1 || row > screen_rows)
        return ' ';
    return m_console.screen().character_at(column - 1, row - 1);
}

std::string ReviewReader::row_text(int row) const
{
    return m_console.screen().row_text(std::clamp(row, 1, screen_rows) - 1);
}

int ReviewReader::last_non_blank(int row) const
{
    for (int column = screen_columns; column >= 1; --column) {
        if (character_at(column, row) != ' ')
            return column;
    }
    return 0;
}

ReviewField ReviewReader::field_at(int column, int row) const
{
    column = std::clamp(column, 1, screen_columns);
    row = std::clamp(row, 1, screen_rows);
    const auto& screen = m_console.screen();
    if (is_field_separator(character_at(column, row)))
        return { column, column };
    uint8_t attribute = screen.attribute_at(column - 1, row - 1);
    auto belongs = [&](int other) {
        return screen.attribute_at(other - 1, row - 1) == attribute && !is_field_separator(character_at(other, row));
    };
    ReviewField field { column, column };
    while (field.first > 1 && belongs(field.first - 1))
        --field.first;
    while (field.last < screen_columns && belongs(field.last + 1))
        ++field.last;
    return field;
}

void ReviewReader::show()
{
    m_console.goto_xy(m_position.column, m_position.row);
    m_console.magnifier().show(row_text(m_position.row), m_position.column - 1);
}

bool ReviewReader::speak_word(int last_column)
{
    int row = m_position.row;
    int column = std::max(m_position.column, 1);
    last_column = std::min(last_column, screen_columns);
    while (column <= last_column && character_at(column, row) == ' ')
        ++column;
    if (column > last_column) {
        m_position.column = column;
        return false;
    }
    int start = column;
    while (column <= last_column && is_review_word_character(character_at(column, row))) {
        m_console.goto_xy(column, row);
        ++column;
    }
    if (column == start) {
        m_console.goto_xy(column, row);
        ++column;
    }
    std::string text = row_text(row).substr(static_cast<size_t>(start - 1), static_cast<size_t>(column - start));
    if (text.size() == 1) {
        char sign = text[0];
        int copies = 1;
        while (column <= last_column && character_at(column, row) == static_cast<uint8_t>(sign)) {
            m_console.goto_xy(column, row);
            ++column;
            ++copies;
        }
        text.assign(static_cast<size_t>(std::min(copies, max_repeated_signs)), sign);
        m_ports.speech.speak_text(text);
    } else if (std::all_of(text.begin(), text.end(), [](char c) { return is_spelled_consonant(static_cast<uint8_t>(c)); })) {
        m_ports.speech.spell_text(text);
    } else {
        m_ports.speech.speak_text(text);
    }
    m_position.column = column;
    return true;
}

void ReviewReader::read_row_part(int row, int first_column, int last_column, bool& interrupted)
{
    m_position = { row, first_column };
    show();
    if (first_column > last_column)
        return;
    if (m_ports.terminal.key_waiting()) {
        interrupted = true;
        return;
    }
    // An installed engine reads a whole row more naturally than words
    // handed over one at a time, and stops by itself at a key.
    if (m_ports.speech.engine_active()) {
        std::string text = row_text(row);
        m_ports.speech.speak_text(std::string_view(text).substr(static_cast<size_t>(first_column - 1),
            static_cast<size_t>(last_column - first_column + 1)));
        m_position.column = last_column + 1;
        return;
    }
    while (speak_word(last_column)) {
        if (m_ports.terminal.key_waiting()) {
            interrupted = true;
            return;
        }
    }
}

void ReviewReader::read_range(ReviewPosition first, ReviewPosition last)
{
    first.row = std::clamp(first.row, 1, screen_rows);
    last.row = std::clamp(last.row, first.row, screen_rows);
    auto first_column_of = [&](int row) { return row == first.row ? std::max(first.column, 1) : 1; };
    auto last_column_of = [&](int row) { return row == last.row ? std::min(last.column, screen_columns) : screen_columns; };

    if (first.row == last.row) {
        bool blank = true;
        for (int column = first_column_of(first.row); column <= last_column_of(first.row); ++column)
            blank = blank && character_at(column, first.row) == ' ';
        if (blank) {
            m_ports.speech.play_beep();
            return;
        }
    }
    for (int row = first.row; row <= last.row; ++row) {
        if (row > first.row) {
            if (m_ports.terminal.key_waiting())
                return;
            m_position = { row, 1 };
            m_ports.speech.play_click();
        }
        bool interrupted = false;
        read_row_part(row, first_column_of(row), last_column_of(row), interrupted);
        if (interrupted)
            return;
    }
    if (last.column >= screen_columns)
        m_position.column = screen_columns;
}

void ReviewReader::read_range_in_place(ReviewPosition first, ReviewPosition last)
{
    ReviewPosition kept = m_position;
    read_range(first, last);
    m_position = kept;
}

}
