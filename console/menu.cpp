// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/menu.h"

#include "platform/event_source.h"
#include "platform/screen_sink.h"

#include <algorithm>

namespace console {

namespace {

// The rectangle cut to the screen. A row below the last one would be drawn
// over the last row (the cursor clamps there), so that a menu taller than
// the screen would hide the highlighted item under the rows drawn after it;
// the cut makes such a menu scroll within the screen instead. Columns past
// the right edge would wrap onto the next row and could scroll the screen.
MenuRectangle shown_part(const MenuRectangle& rectangle)
{
    MenuRectangle shown;
    shown.left = std::clamp(rectangle.left, 1, platform::screen_columns);
    shown.top = std::clamp(rectangle.top, 1, platform::screen_rows);
    shown.right = std::max(std::min(rectangle.right, platform::screen_columns), shown.left - 1);
    shown.bottom = std::clamp(rectangle.bottom, shown.top, platform::screen_rows);
    return shown;
}

}

Menu::Menu(MenuRectangle rectangle)
    : m_rectangle(rectangle)
    , m_shown(shown_part(rectangle))
{
}

void Menu::add_item(std::string text)
{
    m_items.push_back(std::move(text));
    m_marks.push_back(false);
}

std::string_view Menu::item_text(int index) const
{
    if (!is_item(index))
        return {};
    return m_items[static_cast<size_t>(index)];
}

bool Menu::is_marked(int index) const
{
    return is_item(index) && m_marks[static_cast<size_t>(index)];
}

void Menu::set_start_item(int number)
{
    m_start_item = std::max(number, 1);
}

void Menu::start_choice()
{
    // A start item far past the end would leave the highlight on a place
    // that is neither an item nor the one after the last.
    m_current = std::min(m_start_item - 1, item_count());
}

void Menu::scroll()
{
    if (m_current < m_first_shown)
        m_first_shown = m_current;
    else if (m_current >= m_first_shown + visible_rows())
        m_first_shown = m_current - visible_rows() + 1;
    m_current = std::max(m_current, -1);
    m_first_shown = std::max(m_first_shown, 0);
}

void Menu::set_mark(int index, bool marked)
{
    if (is_item(index))
        m_marks[static_cast<size_t>(index)] = marked;
}

void Menu::set_marks(int from, int to, bool marked)
{
    if (from > to)
        std::swap(from, to);
    from = std::max(from, 0);
    to = std::min(to, item_count() - 1);
    for (int index = from; index <= to; ++index)
        m_marks[static_cast<size_t>(index)] = marked;
}

MenuKeyResult Menu::press_key(uint8_t key)
{
    MenuKeyResult result;
    switch (key) {
    case ' ':
        set_mark(m_current, !is_marked(m_current));
        break;
    case '*':
        set_marks(0, item_count() - 1, true);
        break;
    case '/':
        set_marks(0, item_count() - 1, false);
        break;
    case '+':
        set_mark(m_current, true);
        break;
    case '-':
        set_mark(m_current, false);
        break;
    default:
        result.ends_choice = true;
        break;
    }
    return result;
}

// The highlight cannot pass the places before the first and after the last
// item; reaching or trying to pass one is told with the beep.
void Menu::move_to(int index, MenuKeyResult& result)
{
    m_current = index;
    if (m_current < 0) {
        m_current = -1;
        ++result.beeps;
    } else if (m_current >= item_count()) {
        m_current = item_count();
        ++result.beeps;
    }
}

MenuKeyResult Menu::press_extended(uint8_t code, uint8_t modifiers)
{
    MenuKeyResult result;
    bool shift = (modifiers & platform::modifier::shift) != 0;
    int last = item_count() - 1;
    int target = m_current;
    switch (code) {
    case extended_key::down:
        if (shift) {
            if (is_item(m_current) && !is_marked(m_current))
                ++result.beeps;
            set_mark(m_current, true);
            set_mark(m_current + 1, true);
        }
        target = m_current + 1;
        break;
    case extended_key::up:
        if (shift)
            set_mark(m_current, false);
        target = m_current - 1;
        break;
    case extended_key::page_down:
        target = m_current + menu_page_size;
        break;
    case extended_key::page_up:
        target = m_current - menu_page_size;
        break;
    case extended_key::home:
    case extended_key::ctrl_page_up:
        if (shift)
            set_marks(0, m_current, false);
        target = 0;
        ++result.beeps;
        break;
    case extended_key::end:
    case extended_key::ctrl_page_down:
        if (shift)
            set_marks(m_current, last, true);
        target = last;
        ++result.beeps;
        break;
    case extended_key::ctrl_home:
        if (!shift)
            return result;
        set_marks(0, m_current, true);
        target = 0;
        ++result.beeps;
        break;
    case extended_key::ctrl_end:
        if (!shift)
            return result;
        set_marks(m_current, last, false);
        target = last;
        ++result.beeps;
        break;
    default:
        if (code == extended_key::ctrl_f9 && (modifiers & platform::modifier::alt)) {
            result.opens_screen_review = true;
            return result;
        }
        result.ends_choice = is_choice_ending_code(code);
        return result;
    }
    move_to(target, result);
    return result;
}

bool is_choice_ending_code(uint8_t code)
{
    return is_function_key_code(code) || code == extended_key::left || code == extended_key::right
        || (code >= extended_key::ctrl_f1 && code <= extended_key::ctrl_f12) || code == extended_key::ctrl_left
        || code == extended_key::ctrl_right;
}

}
