// SPDX-License-Identifier: GPL-3.0-or-later
// ReviewReader: the review position of screen review and the reading of words, fields and ranges.
#pragma once

#include "interpreter/ports.h"

#include <cstdint>
#include <string>

namespace console {

class Console;

// One-based, as the user hears it. The column may stand at 81 (just past
// the row) until the bounds are corrected after a key.
struct ReviewPosition {
    int row = 1;
    int column = 1;
    bool operator==(const ReviewPosition&) const = default;
};

// The columns of a field on one row, first <= last.
struct ReviewField {
    int first = 1;
    int last = 1;
};

// Reads the screen for the user without changing it. Every reading moves
// the review position over what it speaks (so that a key pressed during a
// long reading leaves the position where the user stopped listening) and
// the console cursor follows it.
class ReviewReader {
public:
    ReviewReader(interpreter::Ports ports, Console& console, ReviewPosition start);

    ReviewPosition& position() { return m_position; }
    const ReviewPosition& position() const { return m_position; }

    // The character of a cell; a blank outside the screen (column 81).
    uint8_t character_at(int column, int row) const;
    // The column of the last non-blank character of the row; 0 when blank.
    int last_non_blank(int row) const;
    // The field around the column on the row: the cells of the same
    // attribute, up to a separator. A separator is a field of its own.
    ReviewField field_at(int column, int row) const;

    // Puts the console cursor on the review position and the review row in
    // the magnifier.
    void show();

    // Speaks the word at the position, taking nothing past `last_column`,
    // and moves the position after the text taken. False when only blanks
    // were left (nothing is spoken then).
    bool speak_word(int last_column);

    // Reads from `first` to `last`, row by row, until a key is waiting. The
    // position ends where the reading stopped (at the end of the row when the
    // range reaches column 80 and was read to the end).
    void read_range(ReviewPosition first, ReviewPosition last);
    // Reads the range and then puts the position back.
    void read_range_in_place(ReviewPosition first, ReviewPosition last);

private:
    void read_row_part(int row, int first_column, int last_column, bool& interrupted);
    std::string row_text(int row) const;

    interpreter::Ports m_ports;
    Console& m_console;
    ReviewPosition m_position;
};

}
