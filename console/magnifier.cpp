// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/magnifier.h"

#include <algorithm>

namespace console {

void Magnifier::configure(const MagnifierSettings& settings)
{
    m_settings = settings;
    m_settings.scale = std::clamp(m_settings.scale, 0, 10);
    if (!enabled())
        hide();
}

int Magnifier::width() const
{
    return enabled() ? platform::screen_columns / m_settings.scale : 0;
}

void Magnifier::show(std::string_view line, int cursor)
{
    if (!enabled())
        return;
    m_line.assign(line);
    m_cursor = std::max(cursor, 0);
    int visible = width();
    if (m_cursor < m_first_shown)
        m_first_shown = m_cursor;
    else if (m_cursor >= m_first_shown + visible)
        m_first_shown = m_cursor - visible + 1;
    m_shown = true;
    draw();
}

void Magnifier::refresh()
{
    if (m_shown && enabled())
        draw();
}

void Magnifier::hide()
{
    if (!m_shown)
        return;
    m_shown = false;
    m_sink.show_magnifier(nullptr);
}

void Magnifier::draw()
{
    platform::MagnifierView view;
    view.scale = m_settings.scale;
    view.text_colour = m_settings.text_colour;
    view.background_colour = m_settings.background_colour;
    view.cursor_colour = m_settings.cursor_colour;
    int visible = width();
    if (m_first_shown < static_cast<int>(m_line.size()))
        view.text = std::string_view(m_line).substr(static_cast<size_t>(m_first_shown), static_cast<size_t>(visible));
    view.cursor = m_cursor - m_first_shown;
    m_sink.show_magnifier(&view);
}

}
