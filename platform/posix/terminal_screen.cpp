// SPDX-License-Identifier: GPL-3.0-or-later
// TerminalScreen: the 80x25 console drawn on a terminal with ANSI escapes.
#include "platform/posix/terminal_screen.h"

#include "base/text_encoding.h"

#include <algorithm>
#include <limits>

namespace platform {

namespace {

// The glyphs a PC console shows for the control bytes 1..31.
constexpr std::array<std::string_view, 32> control_glyphs {
    " ", "\u263A", "\u263B", "\u2665", "\u2666", "\u2663", "\u2660", "\u2022",
    "\u25D8", "\u25CB", "\u25D9", "\u2642", "\u2640", "\u266A", "\u266B", "\u263C",
    "\u25BA", "\u25C4", "\u2195", "\u203C", "\u00B6", "\u00A7", "\u25AC", "\u21A8",
    "\u2191", "\u2193", "\u2192", "\u2190", "\u221F", "\u2194", "\u25B2", "\u25BC",
};

// The 16 colours of a terminal in SGR order (30..37, then 90..97), as a
// PC console draws them; used to pick the nearest when RGB cannot be sent.
constexpr std::array<Rgb, 16> terminal_palette { {
    { 0, 0, 0 }, { 170, 0, 0 }, { 0, 170, 0 }, { 170, 85, 0 },
    { 0, 0, 170 }, { 170, 0, 170 }, { 0, 170, 170 }, { 170, 170, 170 },
    { 85, 85, 85 }, { 255, 85, 85 }, { 85, 255, 85 }, { 255, 255, 85 },
    { 85, 85, 255 }, { 255, 85, 255 }, { 85, 255, 255 }, { 255, 255, 255 },
} };

// The console's colour numbers in the order of a PC's colour map.
constexpr std::array<Rgb, 16> default_colours { {
    { 0, 0, 0 }, { 0, 0, 128 }, { 0, 128, 0 }, { 0, 128, 128 },
    { 128, 0, 0 }, { 128, 0, 128 }, { 128, 128, 0 }, { 192, 192, 192 },
    { 128, 128, 128 }, { 0, 0, 255 }, { 0, 255, 0 }, { 0, 255, 255 },
    { 255, 0, 0 }, { 255, 0, 255 }, { 255, 255, 0 }, { 255, 255, 255 },
} };

int nearest_terminal_colour(Rgb colour)
{
    int best = 0;
    int best_distance = std::numeric_limits<int>::max();
    for (int i = 0; i < 16; ++i) {
        const auto& candidate = terminal_palette[static_cast<size_t>(i)];
        int red = colour.red - candidate.red;
        int green = colour.green - candidate.green;
        int blue = colour.blue - candidate.blue;
        int distance = red * red + green * green + blue * blue;
        if (distance < best_distance) {
            best_distance = distance;
            best = i;
        }
    }
    return best;
}

std::string cursor_to(int row, int column)
{
    return "\x1B[" + std::to_string(row + 1) + ';' + std::to_string(column + 1) + 'H';
}

// Text from the program that goes inside an escape sequence (the title)
// must not end it early or start another.
std::string without_controls(std::string_view utf8)
{
    std::string clean;
    for (size_t i = 0; i < utf8.size(); ++i) {
        auto byte = static_cast<uint8_t>(utf8[i]);
        if (byte < 0x20 || byte == 0x7F)
            continue;
        // C1 controls in UTF-8 are C2 80..C2 9F.
        if (byte == 0xC2 && i + 1 < utf8.size() && static_cast<uint8_t>(utf8[i + 1]) < 0xA0) {
            ++i;
            continue;
        }
        clean += static_cast<char>(byte);
    }
    return clean;
}

}

std::string terminal_glyph(uint8_t byte)
{
    if (byte < 32)
        return std::string(control_glyphs[byte]);
    if (byte == 0x7F)
        return "\u2302";
    if (byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D)
        return "?";
    return base::windows1252_to_utf8(std::string_view(reinterpret_cast<const char*>(&byte), 1));
}

TerminalScreen::TerminalScreen(Writer writer, SizeQuery size, bool true_colour)
    : m_writer(std::move(writer))
    , m_size_query(std::move(size))
    , m_true_colour(true_colour)
    , m_colours(default_colours)
{
}

void TerminalScreen::set_colours(const std::array<Rgb, 16>& colours)
{
    if (colours == m_colours)
        return;
    m_colours = colours;
    invalidate();
}

void TerminalScreen::draw_run(int row, int column, std::string_view text, uint8_t attribute)
{
    if (row < 0 || row >= screen_rows || column < 0)
        return;
    for (size_t i = 0; i < text.size() && column + static_cast<int>(i) < screen_columns; ++i)
        m_wanted[index(column + static_cast<int>(i), row)] = { static_cast<uint8_t>(text[i]), attribute };
}

void TerminalScreen::scroll_up(uint8_t fill_attribute)
{
    std::copy(m_wanted.begin() + screen_columns, m_wanted.end(), m_wanted.begin());
    std::fill(m_wanted.end() - screen_columns, m_wanted.end(), Cell { ' ', fill_attribute });
}

void TerminalScreen::set_cursor(int column, int row)
{
    m_cursor_column = std::clamp(column, 0, screen_columns - 1);
    m_cursor_row = std::clamp(row, 0, screen_rows - 1);
}

void TerminalScreen::set_title(std::string_view title)
{
    m_title = title;
    m_title_changed = true;
}

void TerminalScreen::set_status(std::string_view windows1252_text)
{
    m_status = windows1252_text;
}

void TerminalScreen::invalidate()
{
    m_everything_unknown = true;
}

std::string TerminalScreen::colour_sequence(uint8_t attribute) const
{
    const auto& text = m_colours[attribute & 0x0F];
    const auto& background = m_colours[attribute >> 4];
    if (m_true_colour) {
        auto rgb = [](const Rgb& colour) {
            return std::to_string(colour.red) + ';' + std::to_string(colour.green) + ';' + std::to_string(colour.blue);
        };
        return "\x1B[0;38;2;" + rgb(text) + ";48;2;" + rgb(background) + 'm';
    }
    int foreground_index = nearest_terminal_colour(text);
    int background_index = nearest_terminal_colour(background);
    int foreground_code = foreground_index < 8 ? 30 + foreground_index : 90 + foreground_index - 8;
    int background_code = background_index < 8 ? 40 + background_index : 100 + background_index - 8;
    return "\x1B[0;" + std::to_string(foreground_code) + ';' + std::to_string(background_code) + 'm';
}

std::string TerminalScreen::status_text() const
{
    std::string text;
    if (m_size.columns < screen_columns || m_size.rows < screen_rows) {
        text = "Terminal " + std::to_string(m_size.columns) + "x" + std::to_string(m_size.rows)
            + " menor que 80x25: parte da tela n\xE3o aparece.";
    }
    if (!m_status.empty()) {
        if (!text.empty())
            text += ' ';
        text += m_status;
    }
    return text;
}

void TerminalScreen::present()
{
    std::string out;
    auto size = m_size_query();
    size.columns = std::max(size.columns, 1);
    size.rows = std::max(size.rows, 1);
    if (size != m_size) {
        m_size = size;
        m_everything_unknown = true;
    }
    if (m_everything_unknown) {
        out += "\x1B[0m\x1B[2J";
        m_known.fill(false);
        m_status_shown.clear();
        m_everything_unknown = false;
    }

    auto status = status_text();
    int status_row = -1;
    if (m_size.rows > screen_rows)
        status_row = screen_rows;
    else if (!status.empty())
        status_row = m_size.rows - 1;
    int visible_rows = std::min(screen_rows, m_size.rows);
    if (status_row >= 0 && status_row < visible_rows)
        visible_rows = status_row;
    int visible_columns = std::min(screen_columns, m_size.columns);

    int at_row = -1;
    int at_column = -1;
    int attribute = -1;
    for (int row = 0; row < visible_rows; ++row) {
        for (int column = 0; column < visible_columns; ++column) {
            auto i = index(column, row);
            if (m_known[i] && m_shown[i] == m_wanted[i])
                continue;
            if (row != at_row || column != at_column)
                out += cursor_to(row, column);
            if (m_wanted[i].attribute != attribute) {
                attribute = m_wanted[i].attribute;
                out += colour_sequence(m_wanted[i].attribute);
            }
            out += terminal_glyph(m_wanted[i].character);
            m_shown[i] = m_wanted[i];
            m_known[i] = true;
            at_row = row;
            at_column = column + 1;
        }
    }

    if (status_row >= 0 && status != m_status_shown) {
        auto utf8 = without_controls(base::windows1252_to_utf8(status));
        // The note is ASCII apart from a few accented letters: counting
        // bytes that do not start a UTF-8 character gives its width.
        std::string line;
        int width = 0;
        for (char c : utf8) {
            bool continuation = (static_cast<uint8_t>(c) & 0xC0) == 0x80;
            if (!continuation && width == m_size.columns)
                break;
            line += c;
            if (!continuation)
                ++width;
        }
        out += cursor_to(status_row, 0) + "\x1B[0;7m" + line + "\x1B[0m\x1B[K";
        attribute = -1;
        m_status_shown = status;
        // A note over the console's last row hides its cells, which are
        // drawn again once the note goes.
        if (status_row < screen_rows) {
            for (int column = 0; column < screen_columns; ++column)
                m_known[index(column, status_row)] = false;
        }
    }
    if (status_row < 0)
        m_status_shown.clear();

    if (m_title_changed) {
        out += "\x1B]2;" + without_controls(base::windows1252_to_utf8(m_title)) + "\x07";
        m_title_changed = false;
    }
    if (m_beep) {
        out += '\x07';
        m_beep = false;
    }
    bool caret_inside = m_cursor_row < visible_rows && m_cursor_column < visible_columns;
    if (caret_inside)
        out += cursor_to(m_cursor_row, m_cursor_column);
    out += (m_caret_visible && caret_inside) ? "\x1B[?25h" : "\x1B[?25l";
    if (attribute != -1)
        out += "\x1B[0m";
    m_writer(out);
}

}
