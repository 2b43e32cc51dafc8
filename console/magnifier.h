// SPDX-License-Identifier: GPL-3.0-or-later
// Magnifier: a large-print view of the text around the cursor, for users with low vision.
#pragma once

#include "platform/screen_sink.h"

#include <string>
#include <string_view>

namespace console {

struct MagnifierSettings {
    int scale = 0; // 0 off, else 1..10 times the console font
    int text_colour = 14;
    int background_colour = 6;
    int cursor_colour = 3;
};

// The line editor, the menus and screen review each show their line here.
// The model keeps what is shown, so the backends that cannot draw it (the
// terminal, headless runs) still let tests see it; the window draws it.
class Magnifier {
public:
    explicit Magnifier(platform::ScreenSink& sink)
        : m_sink(sink)
    {
    }

    void configure(const MagnifierSettings& settings);
    const MagnifierSettings& settings() const { return m_settings; }
    bool enabled() const { return m_settings.scale > 0; }
    // How many characters fit across: 80 / scale.
    int width() const;

    // Shows `line` with the cursor on the zero-based `cursor` (it may stand
    // just past the end). The shown part moves only as far as needed to
    // keep the cursor inside it. Does nothing while the magnifier is off.
    void show(std::string_view line, int cursor);
    // Draws the last line again (after the screen was repainted).
    void refresh();
    void hide();

    const std::string& line() const { return m_line; }
    int cursor() const { return m_cursor; }
    // Zero-based index in the line of the first character shown.
    int first_shown() const { return m_first_shown; }
    bool shown() const { return m_shown; }

private:
    void draw();

    platform::ScreenSink& m_sink;
    MagnifierSettings m_settings;
    std::string m_line;
    int m_cursor = 0;
    int m_first_shown = 0;
    bool m_shown = false;
};

}
