// SPDX-License-Identifier: GPL-3.0-or-later
// Menu: the items, marks and highlight of the one menu of MENU, and what each key does to them.
#pragma once

#include "console/key_codes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace console {

// Colours of the drawn items; the other items keep the script's text colour.
constexpr int menu_highlight_colour = 14;
constexpr int menu_marked_colour = 2;

constexpr int menu_page_size = 10;

// The rectangle as MENU "CRIA" gives it: one-based, inclusive columns and rows.
struct MenuRectangle {
    int left = 1;
    int top = 1;
    int right = 1;
    int bottom = 1;
};

// What a key asks of the choice loop beyond moving the highlight.
struct MenuKeyResult {
    bool ends_choice = false;
    bool opens_screen_review = false;
    // How many times to play the beep, one after the other.
    int beeps = 0;
};

// The model only: it draws nothing and plays nothing, so that every move
// can be checked without a console. The choice loop (menu_choice.h) draws it
// and plays the beeps it asks for.
//
// `current` runs from -1 (before the first item) to the item count (after
// the last); both ends are places the highlight can stand on, so that the
// script learns that the user went past an end.
class Menu {
public:
    explicit Menu(MenuRectangle rectangle);

    void add_item(std::string text);
    int item_count() const { return static_cast<int>(m_items.size()); }
    bool is_item(int index) const { return index >= 0 && index < item_count(); }
    // Empty for a place that holds no item.
    std::string_view item_text(int index) const;
    bool is_marked(int index) const;

    const MenuRectangle& rectangle() const { return m_rectangle; }
    // The part of the rectangle that lies on the screen, where the items are
    // drawn: always at least one row; no columns when right is left of left.
    MenuRectangle shown_rectangle() const { return m_shown; }
    int visible_rows() const { return m_shown.bottom - m_shown.top + 1; }
    int width() const { return m_shown.right - m_shown.left + 1; }

    int current() const { return m_current; }
    int first_shown() const { return m_first_shown; }
    // One-based; 0 or less counts as 1.
    int start_item() const { return m_start_item; }
    void set_start_item(int number);

    // Puts the highlight on the start item (or just past the last item when
    // the start item lies beyond it).
    void start_choice();
    // Moves the first shown item so that the highlight is on a visible row.
    void scroll();
    // The screen row (one-based) of the place `index`, when it is shown.
    int row_of(int index) const { return m_shown.top + index - m_first_shown; }

    // A key other than 0: the mark keys, or the end of the choice.
    MenuKeyResult press_key(uint8_t key);
    // The code that followed a 0, with the modifiers held at that moment.
    MenuKeyResult press_extended(uint8_t code, uint8_t modifiers);

private:
    void set_mark(int index, bool marked);
    void set_marks(int from, int to, bool marked);
    void move_to(int index, MenuKeyResult& result);

    MenuRectangle m_rectangle;
    MenuRectangle m_shown;
    std::vector<std::string> m_items;
    std::vector<bool> m_marks;
    int m_current = -1;
    int m_first_shown = 0;
    int m_start_item = 1;
};

// True for the extended codes that end a choice: the F keys, Left, Right,
// Ctrl with Left, Right or an F key (Ctrl+F9 only without Alt).
bool is_choice_ending_code(uint8_t code);
// F1..F12: the only extended keys that end MENU "EXECUTA"; the others bring
// the highlight back to the start item.
constexpr bool is_function_key_code(uint8_t code) { return code >= extended_key::f1 && code <= extended_key::f12; }

}
