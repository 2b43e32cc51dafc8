// SPDX-License-Identifier: GPL-3.0-or-later
// Screen review: the keys that move the review position over the screen and read what it passes.
#include "console/screen_review.h"

#include "console/console.h"
#include "console/key_codes.h"
#include "console/review_characters.h"
#include "console/review_reader.h"
#include "console/review_search.h"
#include "interpreter/runtime.h"

#include <algorithm>
#include <string>

namespace console {

namespace {

class ScreenReview {
public:
    ScreenReview(interpreter::Ports ports, Console& console, ReviewPosition start)
        : m_ports(ports)
        , m_console(console)
        , m_reader(ports, console, start)
    {
    }

    // One pass: show the position, take a key, handle it. False at Esc.
    bool run_pass();

private:
    void handle_key(uint8_t key);
    void handle_extended(uint8_t code);
    void reading_command(uint8_t first_letter);
    void unknown_key();
    void correct_bounds();

    void move_left();
    void move_right();
    void next_field();
    void previous_field();
    void previous_word();
    void next_word();
    void speak_next_word();
    void first_letter_on_screen(bool from_bottom);
    void search(std::string_view text);
    void goto_typed_position();
    void copy_screen();
    // The whole row at `row`, the position kept at `column` of it.
    void move_and_read_row(int row, int column);

    ReviewPosition& position() { return m_reader.position(); }

    interpreter::Ports m_ports;
    Console& m_console;
    ReviewReader m_reader;
};

bool ScreenReview::run_pass()
{
    m_reader.show();
    auto key = m_ports.terminal.read_key_press();
    if (key.is(control_key::escape))
        return false;
    if (key.extended)
        handle_extended(key.code);
    else
        handle_key(key.code);
    correct_bounds();
    return true;
}

void ScreenReview::handle_key(uint8_t key)
{
    auto& at = position();
    switch (key) {
    case control_key::enter:
        at = { at.row + 1, 1 };
        m_ports.speech.play_click();
        return;
    case ' ':
        m_reader.read_range_in_place({ at.row, 1 }, { at.row, screen_columns });
        return;
    case control_key::backspace:
        move_left();
        return;
    case control_key::tab:
        // The key queue has no byte of its own for Shift+Tab.
        if (m_console.held_modifiers() & platform::modifier::shift)
            previous_field();
        else
            next_field();
        return;
    case control_key::ctrl_k:
    case control_key::ctrl_l:
        m_ports.speech.speak_text(std::to_string(at.row) + " " + std::to_string(at.column));
        return;
    case control_key::ctrl_c:
        copy_screen();
        return;
    default:
        break;
    }
    if ((key >= 'A' && key <= 'Z') || (key >= 'a' && key <= 'z'))
        reading_command(key);
    else
        unknown_key();
}

void ScreenReview::handle_extended(uint8_t key)
{
    auto& at = position();
    switch (key) {
    case extended_key::left:
        move_left();
        break;
    case extended_key::right:
        move_right();
        break;
    case extended_key::home:
        at.column = 1;
        break;
    case extended_key::end:
        at.column = m_reader.last_non_blank(at.row) + 1;
        break;
    case extended_key::up:
        if (at.row <= 1) {
            m_ports.speech.play_beep();
            move_and_read_row(1, 1);
        } else {
            move_and_read_row(at.row - 1, 1);
        }
        break;
    case extended_key::down:
        if (at.row >= screen_rows) {
            m_ports.speech.play_beep();
            move_and_read_row(screen_rows, 1);
        } else {
            m_ports.speech.play_click();
            move_and_read_row(at.row + 1, 1);
        }
        break;
    case extended_key::page_up:
        move_and_read_row(1, 1);
        break;
    case extended_key::page_down:
        move_and_read_row(screen_rows, 1);
        break;
    case extended_key::ctrl_page_up:
        first_letter_on_screen(false);
        break;
    case extended_key::ctrl_page_down:
        first_letter_on_screen(true);
        break;
    case extended_key::ctrl_left:
        previous_word();
        break;
    case extended_key::ctrl_right:
        next_word();
        break;
    case extended_key::f1:
        speak_next_word();
        break;
    case extended_key::ctrl_f1: {
        auto field = m_reader.field_at(at.column, at.row);
        m_reader.read_range_in_place({ at.row, field.first }, { at.row, field.last });
        break;
    }
    case extended_key::f5:
        if (auto text = read_search_text(m_ports)) {
            m_console.review_search_text() = *text;
            search(*text);
        }
        break;
    case extended_key::ctrl_f5:
        search(m_console.review_search_text());
        break;
    case extended_key::f6:
        goto_typed_position();
        break;
    default:
        unknown_key();
        break;
    }
}

// Two letters name a range: where it starts (I: at the start, T: all of it,
// F: at the position) and over what (T: the screen, L: the row, C: the field).
// Reading a row or a field leaves the position where it was; reading over the
// screen leaves it where the user stopped listening.
void ScreenReview::reading_command(uint8_t first_letter)
{
    char from = static_cast<char>(first_letter & ~0x20);
    if (from == 'L')
        from = 'T';
    if (from != 'I' && from != 'T' && from != 'F') {
        unknown_key();
        return;
    }
    auto second = m_ports.terminal.read_key_press();
    if (second.extended) {
        unknown_key();
        return;
    }
    char over = static_cast<char>(second.code & ~0x20);
    auto at = position();
    ReviewField row { 1, screen_columns };
    ReviewField field = m_reader.field_at(at.column, at.row);
    const ReviewField* span = nullptr;
    switch (over) {
    case 'T':
        break;
    case 'L':
        span = &row;
        break;
    case 'C':
        span = &field;
        break;
    default:
        unknown_key();
        return;
    }
    if (!span) {
        if (from == 'I')
            m_reader.read_range({ 1, 1 }, { at.row, at.column - 1 });
        else if (from == 'T')
            m_reader.read_range({ 1, 1 }, { screen_rows, screen_columns });
        else
            m_reader.read_range(at, { screen_rows, screen_columns });
        return;
    }
    if (from == 'I')
        m_reader.read_range_in_place({ at.row, span->first }, { at.row, at.column - 1 });
    else if (from == 'T')
        m_reader.read_range_in_place({ at.row, span->first }, { at.row, span->last });
    else
        m_reader.read_range_in_place(at, { at.row, span->last });
}

void ScreenReview::unknown_key()
{
    m_ports.speech.play_beep();
    m_ports.speech.play_click();
    m_ports.speech.play_beep();
}

// A key may carry the position off the screen; it is put back on the nearest
// cell, and the keys typed ahead are dropped, since they were meant for a
// position that does not exist.
void ScreenReview::correct_bounds()
{
    auto& at = position();
    auto correct = [&](int& value, int corrected) {
        value = corrected;
        m_ports.speech.play_beep();
        m_console.discard_keys();
    };
    if (at.column < 1)
        correct(at.column, 1);
    else if (at.column > screen_columns + 1)
        correct(at.column, screen_columns);
    if (at.row < 1)
        correct(at.row, 1);
    else if (at.row > screen_rows)
        correct(at.row, screen_rows);
}

void ScreenReview::move_left()
{
    auto& at = position();
    if (at.column > 1) {
        m_ports.speech.speak_char(static_cast<char>(m_reader.character_at(at.column - 1, at.row)));
        --at.column;
        return;
    }
    // The bounds correction adds the second beep and puts the column back.
    m_ports.speech.play_beep();
    at.column = 0;
}

void ScreenReview::move_right()
{
    auto& at = position();
    m_ports.speech.speak_char(static_cast<char>(m_reader.character_at(at.column, at.row)));
    ++at.column;
}

void ScreenReview::next_field()
{
    auto& at = position();
    int target = m_reader.field_at(at.column, at.row).last + 2;
    if (target > screen_columns) {
        at.column = screen_columns;
        return;
    }
    at.column = target;
    m_ports.speech.play_click();
}

void ScreenReview::previous_field()
{
    auto& at = position();
    at.column = m_reader.field_at(at.column, at.row).first - 2;
    m_ports.speech.play_click();
}

void ScreenReview::previous_word()
{
    auto& at = position();
    int column = std::min(at.column, screen_columns + 1) - 1;
    while (column >= 1 && m_reader.character_at(column, at.row) == ' ')
        --column;
    if (column < 1) {
        at.column = 1;
        m_ports.speech.play_beep();
        return;
    }
    while (column > 1 && m_reader.character_at(column - 1, at.row) != ' ')
        --column;
    at.column = column;
    m_ports.speech.play_click();
}

void ScreenReview::next_word()
{
    auto& at = position();
    int column = at.column;
    while (column <= screen_columns && m_reader.character_at(column, at.row) != ' ')
        ++column;
    while (column <= screen_columns && m_reader.character_at(column, at.row) == ' ')
        ++column;
    if (column > screen_columns) {
        at.column = screen_columns;
        m_ports.speech.play_beep();
        return;
    }
    at.column = column;
    m_ports.speech.play_click();
}

void ScreenReview::speak_next_word()
{
    m_reader.speak_word(screen_columns);
    auto& at = position();
    if (at.column > screen_columns - 1) {
        m_ports.speech.play_click();
        at.column = screen_columns;
    }
}

void ScreenReview::first_letter_on_screen(bool from_bottom)
{
    for (int step = 0; step < screen_rows * screen_columns; ++step) {
        int cell = from_bottom ? screen_rows * screen_columns - 1 - step : step;
        int row = cell / screen_columns + 1;
        int column = cell % screen_columns + 1;
        if (is_review_letter(m_reader.character_at(column, row))) {
            move_and_read_row(row, column);
            return;
        }
    }
    m_ports.speech.play_beep();
}

void ScreenReview::search(std::string_view text)
{
    if (auto found = find_on_screen(m_console.screen(), text, position())) {
        position() = *found;
        m_ports.speech.play_click();
        return;
    }
    m_ports.speech.play_beep();
    m_ports.speech.play_beep();
}

void ScreenReview::goto_typed_position()
{
    m_ports.speech.speak_text("Entre linha e coluna");
    int numbers[2] = { 0, 0 };
    for (int typed = 0; typed < 4; ++typed) {
        auto press = m_ports.terminal.read_key_press();
        uint8_t key = press.code;
        if (press.extended || key < '0' || key > '9') {
            m_ports.speech.play_beep();
            m_ports.speech.play_beep();
            return;
        }
        m_ports.speech.speak_char(static_cast<char>(key));
        numbers[typed / 2] = numbers[typed / 2] * 10 + (key - '0');
    }
    position() = { numbers[0], numbers[1] };
}

void ScreenReview::copy_screen()
{
    std::string text;
    text.reserve(static_cast<size_t>(screen_rows * (screen_columns + 2)));
    for (int row = 0; row < screen_rows; ++row) {
        text += m_console.screen().row_text(row);
        text += "\r\n";
    }
    m_console.copy_to_clipboard(text);
}

void ScreenReview::move_and_read_row(int row, int column)
{
    position() = { row, column };
    m_reader.read_range_in_place({ row, 1 }, { row, screen_columns });
}

}

void screen_review(interpreter::Runtime& runtime)
{
    auto* console = runtime.subsystems.console;
    int column = console->where_x();
    int row = console->where_y();
    runtime.speech.play_beep();
    ScreenReview review(runtime.ports(), *console, { row, column });
    while (review.run_pass()) {
    }
    runtime.speech.play_beep();
    runtime.speech.play_beep();
    console->magnifier().refresh();
    console->goto_xy(column, row);
}

}
