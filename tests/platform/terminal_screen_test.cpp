// SPDX-License-Identifier: GPL-3.0-or-later
// Tests of the terminal screen: what it sends, read back by a tiny terminal.
#include "platform/posix/terminal_screen.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using platform::TerminalScreen;
using platform::TerminalSize;

// Understands exactly the sequences a terminal screen may send, and fails
// the test on anything else or on a write outside the terminal.
class FakeTerminal {
public:
    explicit FakeTerminal(TerminalSize size) { resize(size); }

    void resize(TerminalSize size)
    {
        m_size = size;
        m_cells.assign(static_cast<size_t>(size.rows * size.columns), "#");
        m_colours.assign(m_cells.size(), "");
    }

    void write(std::string_view bytes)
    {
        m_last_write = bytes;
        for (size_t i = 0; i < bytes.size();) {
            auto byte = static_cast<uint8_t>(bytes[i]);
            if (byte == 0x1B && i + 1 < bytes.size() && bytes[i + 1] == '[') {
                size_t end = i + 2;
                while (end < bytes.size() && !(bytes[end] >= 0x40 && bytes[end] <= 0x7E))
                    ++end;
                ASSERT_LT(end, bytes.size());
                control(std::string(bytes.substr(i + 2, end - i - 2)), bytes[end]);
                i = end + 1;
            } else if (byte == 0x1B && i + 1 < bytes.size() && bytes[i + 1] == ']') {
                auto bell = bytes.find('\x07', i);
                ASSERT_NE(bell, std::string_view::npos);
                m_title = bytes.substr(i + 4, bell - i - 4);
                i = bell + 1;
            } else if (byte == 0x07) {
                ++m_beeps;
                ++i;
            } else {
                ASSERT_GE(byte, 0x20) << "a control byte reached the terminal";
                size_t length = byte < 0x80 ? 1 : byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
                put(std::string(bytes.substr(i, length)));
                i += length;
            }
        }
    }

    std::string row(int row) const
    {
        std::string text;
        for (int column = 0; column < m_size.columns; ++column)
            text += m_cells[index(row, column)];
        return text;
    }
    const std::string& colour_at(int row, int column) const { return m_colours[index(row, column)]; }
    const std::string& last_write() const { return m_last_write; }
    const std::string& title() const { return m_title; }
    int beeps() const { return m_beeps; }
    bool caret_visible() const { return m_caret; }
    int cursor_row() const { return m_row; }
    int cursor_column() const { return m_column; }

private:
    size_t index(int row, int column) const { return static_cast<size_t>(row * m_size.columns + column); }

    void control(const std::string& parameters, char final_byte)
    {
        if (final_byte == 'H') {
            auto semicolon = parameters.find(';');
            m_row = std::stoi(parameters.substr(0, semicolon)) - 1;
            m_column = std::stoi(parameters.substr(semicolon + 1)) - 1;
            EXPECT_LT(m_row, m_size.rows) << "cursor below the terminal";
            EXPECT_LT(m_column, m_size.columns) << "cursor right of the terminal";
        } else if (final_byte == 'J') {
            EXPECT_EQ(parameters, "2");
            m_cells.assign(m_cells.size(), " ");
            m_colours.assign(m_cells.size(), m_sgr);
        } else if (final_byte == 'K') {
            for (int column = m_column; column < m_size.columns; ++column)
                m_cells[index(m_row, column)] = " ";
        } else if (final_byte == 'm') {
            m_sgr = parameters;
        } else if (parameters == "?25" && (final_byte == 'h' || final_byte == 'l')) {
            m_caret = final_byte == 'h';
        } else {
            ADD_FAILURE() << "unexpected sequence " << parameters << final_byte;
        }
    }

    void put(const std::string& glyph)
    {
        ASSERT_LT(m_row, m_size.rows);
        ASSERT_LT(m_column, m_size.columns) << "text written past the right edge";
        m_cells[index(m_row, m_column)] = glyph;
        m_colours[index(m_row, m_column)] = m_sgr;
        ++m_column;
    }

    TerminalSize m_size;
    std::vector<std::string> m_cells;
    std::vector<std::string> m_colours;
    std::string m_sgr;
    std::string m_last_write;
    std::string m_title;
    int m_row = 0;
    int m_column = 0;
    int m_beeps = 0;
    bool m_caret = false;
};

struct ScreenOnTerminal {
    explicit ScreenOnTerminal(TerminalSize size, bool true_colour = false)
        : terminal(size)
        , size(size)
        , screen([this](std::string_view bytes) { terminal.write(bytes); }, [this] { return this->size; }, true_colour)
    {
    }
    FakeTerminal terminal;
    TerminalSize size;
    TerminalScreen screen;
};

std::string blank_row(int width)
{
    return std::string(static_cast<size_t>(width), ' ');
}

TEST(TerminalScreen, DrawsTheWholeScreenFirstThenOnlyWhatChanged)
{
    ScreenOnTerminal setup({ 80, 25 });
    setup.screen.draw_run(0, 0, "Ola", 0x07);
    setup.screen.draw_run(24, 77, "fim", 0x07);
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(0), "Ola" + blank_row(77));
    EXPECT_EQ(setup.terminal.row(24), blank_row(77) + "fim");

    setup.screen.present();
    EXPECT_EQ(setup.terminal.last_write().find("Ola"), std::string::npos);
    EXPECT_LT(setup.terminal.last_write().size(), 20u) << "an unchanged screen is sent again";

    setup.screen.draw_run(3, 10, "xOy", 0x07);
    setup.screen.draw_run(3, 11, "O", 0x07); // the same as before: nothing to send for it
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(3).substr(10, 3), "xOy");
    EXPECT_NE(setup.terminal.last_write().find("\x1B[4;11H"), std::string::npos);
    EXPECT_EQ(setup.terminal.last_write().find("\x1B[2J"), std::string::npos);
}

TEST(TerminalScreen, ConvertsWindows1252AndShowsControlBytesSafely)
{
    ScreenOnTerminal setup({ 80, 25 });
    setup.screen.draw_run(0, 0, std::string("Ter\xE7" "a \x80\x01\x7F\x9D\x1B\x07", 12), 0x07);
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(0), "Ter\u00E7a \u20AC\u263A\u2302?\u2190\u2022" + blank_row(68));
    EXPECT_EQ(setup.terminal.beeps(), 0) << "a cell byte 7 rang the bell";
}

TEST(TerminalScreen, PicksTheNearestColourOrSendsRgb)
{
    ScreenOnTerminal sixteen({ 80, 25 });
    sixteen.screen.draw_run(1, 0, "a", 0x1E);
    sixteen.screen.present();
    EXPECT_EQ(sixteen.terminal.colour_at(1, 0), "0;93;44");

    ScreenOnTerminal rgb({ 80, 25 }, true);
    rgb.screen.draw_run(1, 0, "a", 0x1E);
    rgb.screen.present();
    EXPECT_EQ(rgb.terminal.colour_at(1, 0), "0;38;2;255;255;0;48;2;0;0;128");

    std::array<platform::Rgb, 16> colours {};
    colours[14] = { 1, 2, 3 };
    colours[1] = { 250, 250, 250 };
    rgb.screen.set_colours(colours);
    rgb.screen.present();
    EXPECT_EQ(rgb.terminal.colour_at(1, 0), "0;38;2;1;2;3;48;2;250;250;250") << "a new colour map must repaint";
}

TEST(TerminalScreen, ScrollsTheCellsItKeeps)
{
    ScreenOnTerminal setup({ 80, 25 });
    setup.screen.draw_run(1, 0, "segunda", 0x07);
    setup.screen.draw_run(24, 0, "ultima", 0x07);
    setup.screen.present();
    setup.screen.scroll_up(0x07);
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(0).substr(0, 7), "segunda");
    EXPECT_EQ(setup.terminal.row(23).substr(0, 6), "ultima");
    EXPECT_EQ(setup.terminal.row(24), blank_row(80));
}

TEST(TerminalScreen, AViewFollowsTheCursorOnASmallTerminalThatIsSaidOnce)
{
    ScreenOnTerminal setup({ 60, 20 });
    setup.screen.draw_run(0, 0, std::string(80, 'a'), 0x07);
    setup.screen.draw_run(24, 0, "escondida", 0x07);
    setup.screen.set_cursor(70, 22);
    setup.screen.show_caret(true);
    setup.screen.present(); // the fake terminal fails on any write outside 60x20
    EXPECT_NE(setup.terminal.row(19).find("60x20"), std::string::npos) << setup.terminal.row(19);
    // Nineteen rows and sixty columns of the console, moved as little as
    // shows the cursor: rows 4 to 22, columns 11 to 70.
    EXPECT_TRUE(setup.terminal.caret_visible());
    EXPECT_EQ(setup.terminal.cursor_row(), 18);
    EXPECT_EQ(setup.terminal.cursor_column(), 59);

    // The cursor goes to the last row: the view follows it there.
    setup.screen.set_cursor(0, 24);
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(18).substr(0, 9), "escondida");
    EXPECT_EQ(setup.terminal.cursor_row(), 18);
    EXPECT_EQ(setup.terminal.cursor_column(), 0);

    // A key takes the note away (said once): the view gets every row.
    setup.screen.set_status("");
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(19).substr(0, 9), "escondida");
    for (int row = 0; row < 20; ++row)
        EXPECT_EQ(setup.terminal.row(row).find("60x20"), std::string::npos) << row;
    setup.screen.set_cursor(5, 0);
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(0), std::string(60, 'a'));

    // Back to a full size: everything is drawn again, in its place.
    setup.size = { 100, 30 };
    setup.terminal.resize(setup.size);
    setup.screen.set_cursor(70, 22);
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(0).substr(0, 80), std::string(80, 'a'));
    EXPECT_EQ(setup.terminal.row(24).substr(0, 9), "escondida");
    EXPECT_EQ(setup.terminal.row(25), blank_row(100));
    EXPECT_TRUE(setup.terminal.caret_visible());
    EXPECT_EQ(setup.terminal.cursor_row(), 22);
    EXPECT_EQ(setup.terminal.cursor_column(), 70);
}

TEST(TerminalScreen, ANoteIsNeverCutOnANarrowTerminal)
{
    ScreenOnTerminal setup({ 30, 12 });
    setup.screen.set_status("Teclado braille desligado.");
    setup.screen.present();
    std::string shown;
    for (int row = 0; row < 12; ++row) {
        std::string line = setup.terminal.row(row);
        while (!line.empty() && line.back() == ' ')
            line.pop_back();
        if (line.starts_with("Terminal") || !shown.empty())
            shown += (shown.empty() || line.empty() ? "" : " ") + line;
    }
    EXPECT_EQ(shown, "Terminal 30x12 menor que 80x25: a tela acompanha o cursor. Teclado braille desligado.");
}

TEST(TerminalScreen, NotesAreSplitBetweenWords)
{
    struct Case {
        const char* text;
        int columns;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        { "abc def ghi", 7, { "abc def", "ghi" } },
        { "abc def ghi", 8, { "abc def", "ghi" } },
        { "abcdefghij", 4, { "abcd", "efgh", "ij" } }, // a word longer than a line
        { "a\xC3\xA7\xC3\xA3o \xC3\xA9 boa", 6, { "a\xC3\xA7\xC3\xA3o \xC3\xA9", "boa" } }, // "ação é" is 6 wide
        { "curta", 80, { "curta" } },
        { "", 10, {} },
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::wrap_note(c.text, c.columns), c.lines) << c.text << " in " << c.columns;
}

TEST(TerminalScreen, ANoteCoversTheLastRowUntilItIsCleared)
{
    ScreenOnTerminal setup({ 80, 25 });
    setup.screen.draw_run(24, 0, "linha 25", 0x07);
    setup.screen.set_status("Teclado braille desligado");
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(24).substr(0, 25), "Teclado braille desligado");
    setup.screen.set_status("");
    setup.screen.present();
    EXPECT_EQ(setup.terminal.row(24), "linha 25" + blank_row(72));

    ScreenOnTerminal tall({ 80, 26 });
    tall.screen.set_status("nota");
    tall.screen.present();
    EXPECT_EQ(tall.terminal.row(25).substr(0, 4), "nota");
    tall.screen.set_status("");
    tall.screen.present();
    EXPECT_EQ(tall.terminal.row(25), blank_row(80));
}

TEST(TerminalScreen, KeepsControlsOutOfTheTitleAndRingsOnce)
{
    ScreenOnTerminal setup({ 80, 25 });
    setup.screen.set_title(std::string("Jan\x07" "ela\x1B]0;x\x90", 13));
    setup.screen.beep();
    setup.screen.present();
    EXPECT_EQ(setup.terminal.title(), "Janela]0;x");
    EXPECT_EQ(setup.terminal.beeps(), 1);
    setup.screen.present();
    EXPECT_EQ(setup.terminal.beeps(), 1);
}

}
