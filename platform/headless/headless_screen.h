// SPDX-License-Identifier: GPL-3.0-or-later
// HeadlessScreen: a screen sink that keeps what it was told, for tests and headless runs.
#pragma once

#include "platform/screen_sink.h"

#include <string>

namespace platform {

// It keeps its own copy of the cells from the runs and scrolls it was
// given, so a test can check that the model told the sink everything.
class HeadlessScreen final : public ScreenSink {
public:
    HeadlessScreen();

    void set_colours(const std::array<Rgb, 16>& colours) override { m_colours = colours; }
    void draw_run(int row, int column, std::string_view text, uint8_t attribute) override;
    void scroll_up(uint8_t fill_attribute) override;
    void set_cursor(int column, int row) override;
    void show_caret(bool visible) override { m_caret_visible = visible; }
    void set_title(std::string_view title) override { m_title = title; }
    void set_window_state(WindowState state) override { m_window_state = state; }
    void show_picture(const PictureImage* image, int x, int y, double scale) override;
    void beep() override { ++m_beeps; }
    void present() override { ++m_presents; }
    void show_highlight(int row, int column, int length) override { m_highlight = { row, column, length }; }

    uint8_t character_at(int column, int row) const { return m_characters[index(column, row)]; }
    uint8_t attribute_at(int column, int row) const { return m_attributes[index(column, row)]; }
    std::string row_text(int row) const;
    int cursor_column() const { return m_cursor_column; }
    int cursor_row() const { return m_cursor_row; }
    bool caret_visible() const { return m_caret_visible; }
    const std::string& title() const { return m_title; }
    WindowState window_state() const { return m_window_state; }
    const std::array<Rgb, 16>& colours() const { return m_colours; }
    bool has_picture() const { return m_has_picture; }
    int runs_drawn() const { return m_runs; }
    int scrolls() const { return m_scrolls; }
    int beeps() const { return m_beeps; }
    struct Highlight {
        int row = 0;
        int column = 0;
        int length = 0;
        bool operator==(const Highlight&) const = default;
    };
    Highlight highlight() const { return m_highlight; }

private:
    static size_t index(int column, int row) { return static_cast<size_t>(row * screen_columns + column); }

    std::array<uint8_t, screen_columns * screen_rows> m_characters {};
    std::array<uint8_t, screen_columns * screen_rows> m_attributes {};
    std::array<Rgb, 16> m_colours {};
    int m_cursor_column = 0;
    int m_cursor_row = 0;
    bool m_caret_visible = false;
    std::string m_title;
    WindowState m_window_state = WindowState::Normal;
    bool m_has_picture = false;
    int m_runs = 0;
    int m_scrolls = 0;
    int m_beeps = 0;
    int m_presents = 0;
    Highlight m_highlight;
};

}
