// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalScreen: the 80x25 console drawn on a terminal with ANSI escapes.
#pragma once

#include "platform/screen_sink.h"

#include <functional>
#include <string>
#include <vector>

namespace platform {

struct TerminalSize {
    int columns = screen_columns;
    int rows = screen_rows;
    bool operator==(const TerminalSize&) const = default;
};

// Keeps the cells it was told (the screen wanted) and the cells the
// terminal shows, and on `present` sends only the difference, in UTF-8 with
// SGR colours. A terminal smaller than the console shows the part that
// fits, moved as little as keeps the cursor in it (so the row being typed
// on, or a menu's highlighted item, stays in sight), and says once, at the
// bottom, that it is smaller, until the next key. Notes take as many rows as
// they need at the bottom (below the console on a taller terminal), split
// between words. Pictures cannot be shown on a terminal and are ignored.
class TerminalScreen final : public ScreenSink {
public:
    using Writer = std::function<void(std::string_view)>;
    using SizeQuery = std::function<TerminalSize()>;

    // `true_colour`: colours as 24-bit RGB; otherwise the nearest of the
    // terminal's 16 colours.
    TerminalScreen(Writer writer, SizeQuery size, bool true_colour);

    void set_colours(const std::array<Rgb, 16>& colours) override;
    void draw_run(int row, int column, std::string_view text, uint8_t attribute) override;
    void scroll_up(uint8_t fill_attribute) override;
    void set_cursor(int column, int row) override;
    void show_caret(bool visible) override { m_caret_visible = visible; }
    void set_title(std::string_view title) override;
    void set_window_state(WindowState) override { }
    void show_picture(const PictureImage*, int, int, double) override { }
    void beep() override { m_beep = true; }
    void present() override;

    // A note for the status line (empty: none, and the note about a small
    // terminal goes too); shown until replaced.
    void set_status(std::string_view windows1252_text);

    // Forgets what the terminal shows, so that the next `present` draws
    // everything (after a resize, or when something else wrote over it).
    void invalidate();

private:
    struct Cell {
        uint8_t character = ' ';
        uint8_t attribute = 0x07;
        bool operator==(const Cell&) const = default;
    };
    static size_t index(int column, int row) { return static_cast<size_t>(row * screen_columns + column); }

    std::string colour_sequence(uint8_t attribute) const;
    std::string status_text() const;

    Writer m_writer;
    SizeQuery m_size_query;
    bool m_true_colour;
    std::array<Rgb, 16> m_colours {};
    std::array<Cell, screen_columns * screen_rows> m_wanted {};
    std::array<Cell, screen_columns * screen_rows> m_shown {};
    std::array<bool, screen_columns * screen_rows> m_known {};
    bool m_everything_unknown = true;
    TerminalSize m_size;
    std::string m_status;
    std::string m_status_shown;
    int m_cursor_column = 0;
    int m_cursor_row = 0;
    bool m_caret_visible = false;
    bool m_beep = false;
    std::string m_title;
    bool m_title_changed = false;
    // The view's first console row and column, and the note's place: a
    // change draws everything again.
    struct Layout {
        int top = 0;
        int left = 0;
        int note_top = 0;
        int note_rows = 0;
        bool operator==(const Layout&) const = default;
    };
    Layout m_layout;
    int m_view_top = 0;
    int m_view_left = 0;
    bool m_size_note_dismissed = false;
};

// A note split into lines of at most `columns` characters, between words
// where it can.
std::vector<std::string> wrap_note(std::string_view utf8, int columns);

// The UTF-8 a cell byte shows as: Windows-1252, with the control bytes as
// the console's glyphs and the five undefined bytes as "?" (sent as they
// are, a terminal would take them for C1 controls).
std::string terminal_glyph(uint8_t byte);

}
