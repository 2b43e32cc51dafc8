// SPDX-License-Identifier: GPL-3.0-or-later
// ScreenSink: where the console's 80x25 text screen is shown.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace platform {

constexpr int screen_columns = 80;
constexpr int screen_rows = 25;

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    bool operator==(const Rgb&) const = default;
};

enum class WindowState {
    Normal,
    Maximised,
    Minimised,
};

// A picture decoded for display: rows top first, each pixel 0xRRGGBB.
struct PictureImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// The console model is the truth; a sink only shows it. The model tells the
// sink every change as it happens (a run of cells, a scroll, the cursor), so
// a backend that must repaint on its own (an exposed window, a resized
// terminal) keeps a copy of the cells it was given. All calls come from the
// one runtime thread. Text is Windows-1252: each backend converts at its edge.
// The magnifier's line: the characters shown, the cursor's index among
// them (it may equal the length), drawn `scale` times the font's size at the
// window's top left corner. Colours are colour numbers 0..15.
struct MagnifierView {
    std::string_view text;
    int cursor = 0;
    int scale = 1;
    int text_colour = 14;
    int background_colour = 6;
    int cursor_colour = 3;
};

class ScreenSink {
public:
    virtual ~ScreenSink() = default;

    // The colour each of the 16 colour numbers of an attribute draws, with
    // the console's colour map already applied. Sent before the first run
    // and again whenever the map changes.
    virtual void set_colours(const std::array<Rgb, 16>& colours) = 0;

    // Cells of one row from `column` on, all with one attribute (text colour
    // in the low four bits, background in the high four); one byte per cell.
    virtual void draw_run(int row, int column, std::string_view text, uint8_t attribute) = 0;

    // Rows 1..24 move up by one and the last row becomes blanks with the
    // given attribute: the block-copy scroll. A scroll without block copy
    // arrives as runs for every row instead.
    virtual void scroll_up(uint8_t fill_attribute) = 0;

    // Zero-based; the column may be 80 (past the last column, before a wrap).
    virtual void set_cursor(int column, int row) = 0;
    // The caret shows only while the program waits for a key.
    virtual void show_caret(bool visible) = 0;

    virtual void set_title(std::string_view title) = 0;
    virtual void set_window_state(WindowState state) = 0;

    // The picture overlay, drawn over the text at pixel position x, y,
    // scaled; nullptr removes it. The image stays owned by the caller and
    // alive until the next call.
    virtual void show_picture(const PictureImage* image, int x, int y, double scale) = 0;

    // The magnifier over the text; nullptr removes it. The view lives only
    // during the call. A backend that cannot draw it keeps this default.
    virtual void show_magnifier(const MagnifierView* view) { }

    // The cells a menu highlights: `length` cells of `row` from `column`
    // (0-based); a length of 0 clears it. A backend that can mark them
    // beyond their colours (the script's highlight colour may hardly differ
    // from its background) does so; the others keep this default.
    virtual void show_highlight(int row, int column, int length) { }

    // The system's default beep (byte 7 written to the console).
    virtual void beep() = 0;

    // Output batched so far becomes visible; called before every wait.
    virtual void present() = 0;
};

}
