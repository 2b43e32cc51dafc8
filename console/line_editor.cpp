// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/line_editor.h"

#include "console/console.h"
#include "console/document_word.h"
#include "console/edit_field.h"
#include "console/key_codes.h"
#include "console/screen_review.h"
#include "interpreter/number.h"
#include "interpreter/runtime.h"
#include "interpreter/text.h"

#include <algorithm>
#include <optional>

namespace console {

namespace {

using interpreter::Ports;
using interpreter::Runtime;

constexpr int selection_background = 8;

struct EditorKey {
    bool extended = false;
    uint8_t code = 0;
    uint8_t modifiers = 0;
};

// One call of edit_line: the field, where it stands on the screen and the
// part of it that is shown.
class LineEditor {
public:
    LineEditor(Runtime& runtime, std::string_view text, int column, int row, bool editable, int width, int max_length)
        : m_runtime(runtime)
        , m_ports(runtime.ports())
        , m_console(*runtime.subsystems.console)
        , m_field(text, max_length)
        , m_start_text(m_field.text())
        , m_column(std::clamp(column, 1, screen_columns))
        , m_row(std::clamp(row, 1, screen_rows))
        , m_editable(editable)
    {
        // The shown part never wraps past the row's end, which would scroll
        // the screen under the field.
        m_width = std::clamp(width, 1, std::max(1, m_field.length()));
        m_width = std::min(m_width, screen_columns - m_column + 1);
    }

    uint8_t run(std::string& text)
    {
        std::optional<uint8_t> ending;
        while (!ending) {
            draw();
            auto key = read_editor_key();
            // The program is ending: the field stays as it was last shown.
            if (m_runtime.stop_requested)
                return Console::ending_key;
            ending = key.extended ? handle_extended(key) : handle_character(key.code);
            m_first_key = false;
        }
        finish();
        text.assign(m_field.trimmed());
        return *ending;
    }

private:
    // Reads a key and stops the speech it interrupts. Alt+Q, Alt+W and Alt+E
    // are prefixes: the key after them is handled instead.
    EditorKey read_editor_key()
    {
        for (;;) {
            auto press = m_ports.terminal.read_key_press();
            m_ports.speech.stop_speech();
            EditorKey key;
            key.code = press.code;
            key.extended = press.extended;
            key.modifiers = m_console.held_modifiers();
            if (!key.extended || key.code < extended_key::alt_q || key.code > extended_key::alt_e)
                return key;
        }
    }

    void scroll_to_cursor()
    {
        int cursor = m_field.cursor();
        if (cursor < m_first_shown)
            m_first_shown = cursor;
        else if (cursor >= m_first_shown + m_width)
            m_first_shown = cursor - m_width + 1;
    }

    // The shown characters, with control bytes (a tab pasted, a line end in
    // an edited value) as blanks: written as they are, the console would
    // act on them and the field would no longer line up with the cursor.
    std::string shown_part() const
    {
        std::string_view text = m_field.text();
        if (m_first_shown >= static_cast<int>(text.size()))
            return {};
        std::string part(text.substr(static_cast<size_t>(m_first_shown), static_cast<size_t>(m_width)));
        for (char& c : part) {
            if (static_cast<uint8_t>(c) < 32)
                c = ' ';
        }
        return part;
    }

    // The field is redrawn on the screen model only: a pass is a repaint,
    // not output, so the console log sees the field once, at the end.
    void draw()
    {
        scroll_to_cursor();
        auto& screen = m_console.screen();
        uint8_t normal = m_console.attribute();
        uint8_t selected = static_cast<uint8_t>((normal & 0x0F) | (selection_background << 4));
        std::string shown = shown_part();
        std::string_view part = shown;
        auto selection = m_field.selection();
        int start = std::clamp(selection.start - m_first_shown, 0, static_cast<int>(part.size()));
        int end = std::clamp(selection.end - m_first_shown, start, static_cast<int>(part.size()));
        m_console.goto_xy(m_column, m_row);
        screen.write_chars(part.substr(0, static_cast<size_t>(start)));
        screen.set_attribute(selected);
        screen.write_chars(part.substr(static_cast<size_t>(start), static_cast<size_t>(end - start)));
        screen.set_attribute(normal);
        screen.write_chars(part.substr(static_cast<size_t>(end)));
        if (m_column - 1 + static_cast<int>(part.size()) < screen_columns)
            screen.clear_to_end_of_line();
        m_console.magnifier().show(m_field.text(), m_field.cursor());
        m_console.goto_xy(m_column + m_field.cursor() - m_first_shown, m_row);
    }

    // The field from its start, without the selection's colour; what the
    // field holds goes to the console as output, the padding only to the
    // screen.
    void finish()
    {
        m_field.clear_selection();
        m_first_shown = 0;
        std::string shown = shown_part();
        std::string_view part = shown;
        auto kept = part.substr(0, std::min(part.size(), m_field.trimmed().size()));
        m_console.goto_xy(m_column, m_row);
        m_console.write_chars(kept);
        m_console.screen().write_chars(part.substr(kept.size()));
        m_console.goto_xy(m_column, m_row);
    }

    std::optional<uint8_t> handle_character(uint8_t key)
    {
        if (key != control_key::ctrl_c && key != control_key::ctrl_v)
            m_field.clear_selection();
        if (key >= 32 && key != control_key::ctrl_backspace) {
            type_character(static_cast<char>(key));
            return std::nullopt;
        }
        switch (key) {
        case control_key::backspace:
            if (m_field.cursor() == 0) {
                m_ports.speech.play_beep();
                break;
            }
            m_field.set_cursor(m_field.cursor() - 1);
            if (m_editable)
                delete_at_cursor();
            break;
        case control_key::ctrl_d:
            if (m_editable) {
                m_field.blank(m_field.cursor(), m_field.length());
                m_ports.speech.play_sound("_APFCPO");
            }
            break;
        case control_key::ctrl_k:
            m_ports.speech.speak_text(interpreter::format_number(m_field.cursor() + 1));
            break;
        case control_key::ctrl_s:
            if (m_editable) {
                m_field.erase(0, m_field.cursor());
                m_field.set_cursor(0);
                m_ports.speech.play_sound("_APICPO");
            }
            break;
        case control_key::ctrl_u:
            if (m_editable) {
                m_field.assign(m_start_text);
                m_field.set_cursor(0);
                for (int beep = 0; beep < 3; ++beep)
                    m_ports.speech.play_beep();
            }
            break;
        case control_key::ctrl_y:
            if (m_editable) {
                m_field.blank(0, m_field.length());
                m_ports.speech.play_sound("_CPOAPA");
                m_field.set_cursor(0);
            }
            break;
        case control_key::ctrl_backslash:
            spell_field();
            break;
        case control_key::ctrl_backspace:
            if (m_editable)
                delete_word_at_cursor();
            break;
        case control_key::ctrl_c:
            copy_to_clipboard();
            break;
        case control_key::ctrl_v:
            paste_from_clipboard();
            break;
        case control_key::tab:
        case control_key::ctrl_b:
        case control_key::ctrl_enter:
        case control_key::enter:
        case control_key::escape:
            return key;
        default:
            break;
        }
        return std::nullopt;
    }

    std::optional<uint8_t> handle_extended(const EditorKey& key)
    {
        bool copy_or_paste = key.code == extended_key::shift_insert || key.code == extended_key::ctrl_insert;
        bool alt = key.modifiers & platform::modifier::alt;
        auto selection = m_field.selection();
        if (!copy_or_paste) {
            if (key.modifiers & platform::modifier::shift)
                m_field.anchor_selection();
            else
                m_field.clear_selection();
        }
        switch (key.code) {
        case extended_key::f1:
            if (alt)
                return edit_alt_f1_code;
            speak_item_at_cursor();
            break;
        case extended_key::f4: {
            bool on = !m_ports.speech.echo_typed();
            m_ports.speech.set_echo_typed(on);
            m_ports.speech.play_sound(on ? "_FALACI" : "_FALDLG");
            break;
        }
        case extended_key::f8: {
            auto now = m_ports.world.local_time();
            m_ports.speech.speak_time(now.hour, now.minute);
            break;
        }
        case extended_key::f12:
            open_document_word(m_runtime, document_word_at(m_field.text(), m_field.cursor()));
            break;
        case extended_key::home:
            m_field.set_cursor(0);
            break;
        case extended_key::end:
            m_field.set_cursor(m_field.text_end());
            break;
        case extended_key::left:
            if (m_field.cursor() == 0) {
                m_ports.speech.play_beep();
                break;
            }
            m_field.set_cursor(m_field.cursor() - 1);
            m_ports.speech.speak_char(m_field.at_cursor());
            break;
        case extended_key::right:
            move_right(alt);
            break;
        case extended_key::del:
            if (m_editable)
                delete_forward(selection);
            break;
        case extended_key::ctrl_f1:
            m_ports.speech.speak_text(m_field.trimmed());
            break;
        case extended_key::ctrl_f4:
            change_speed();
            break;
        case extended_key::ctrl_f8: {
            auto now = m_ports.world.local_time();
            m_ports.speech.speak_date(now.day, now.month, now.year);
            break;
        }
        case extended_key::ctrl_f9:
            if (!alt)
                return key.code;
            screen_review(m_runtime);
            break;
        case extended_key::ctrl_f11:
            m_ports.speech.speak_battery();
            break;
        case extended_key::ctrl_left:
            move_to_word(m_field.previous_word_start(m_field.cursor()), 0);
            break;
        case extended_key::ctrl_right:
            move_to_word(m_field.next_word_start(m_field.cursor()), m_field.text_end());
            break;
        case extended_key::shift_insert:
            paste_from_clipboard();
            break;
        case extended_key::ctrl_insert:
            copy_to_clipboard();
            break;
        default:
            if (key.code >= extended_key::alt_1 && key.code <= extended_key::alt_0)
                break;
            return key.code;
        }
        return std::nullopt;
    }

    void type_character(char c)
    {
        if (!m_editable)
            return;
        // The first key typed into a field that holds text starts it afresh,
        // so a proposed value is replaced by typing and kept by Enter.
        if (m_first_key && m_field.has_text_from_cursor()) {
            m_ports.speech.play_click();
            m_ports.speech.play_click();
            m_field.blank(0, m_field.length());
        }
        if (!m_field.insert(c)) {
            m_ports.speech.play_beep();
            return;
        }
        if (m_ports.speech.echo_typed())
            m_ports.speech.speak_char(c);
    }

    void delete_at_cursor()
    {
        auto removed = m_field.erase(m_field.cursor(), m_field.cursor() + 1);
        if (removed.empty())
            return;
        m_ports.speech.play_sound("_DEL");
        m_ports.speech.speak_char(removed[0]);
    }

    void delete_forward(FieldRange selection)
    {
        if (selection.empty()) {
            delete_at_cursor();
            return;
        }
        m_field.clear_selection();
        m_field.set_cursor(selection.start);
        m_ports.speech.play_sound("_DEL");
        for (char c : m_field.erase(selection.start, selection.end))
            m_ports.speech.speak_char(c);
    }

    // From the start of the word at the cursor to the start of the next one
    // (or the end of the text).
    void delete_word_at_cursor()
    {
        int start = m_field.word_start_at(m_field.cursor());
        int end = m_field.next_word_start(start).value_or(std::max(start, m_field.text_end()));
        m_field.erase(start, end);
        m_field.set_cursor(start);
    }

    // Only up to the last character that is not a blank: the padding of a
    // long field would otherwise be spelled blank by blank. A key stops it.
    void spell_field()
    {
        for (char c : m_field.trimmed()) {
            if (m_ports.terminal.key_waiting())
                break;
            m_ports.speech.speak_char(c);
        }
    }

    void speak_item_at_cursor()
    {
        auto item = m_field.item_from_cursor();
        if (!item) {
            m_ports.speech.play_beep();
            return;
        }
        switch (item->kind) {
        case FieldItem::Kind::Word:
            // A word of consonants only is an abbreviation: it is spelled.
            if (interpreter::upper_text(item->text).find_first_not_of("BCDFGHJKLMNPQRSTVXZ") != std::string::npos)
                m_ports.speech.speak_text(item->text);
            else
                m_ports.speech.spell_text(item->text);
            break;
        case FieldItem::Kind::Number:
            m_ports.speech.speak_text(item->text);
            break;
        case FieldItem::Kind::Other:
            m_ports.speech.spell_text(item->text);
            break;
        }
        m_field.set_cursor(item->end);
    }

    void move_right(bool alt)
    {
        if (m_field.cursor() >= m_field.length()) {
            m_ports.speech.play_beep();
            return;
        }
        char c = m_field.at_cursor();
        if (alt && is_word_letter(c))
            m_ports.speech.play_sound("_FON" + interpreter::format_number(static_cast<uint8_t>(c)));
        else
            m_ports.speech.speak_char(c);
        m_field.set_cursor(m_field.cursor() + 1);
    }

    void move_to_word(std::optional<int> target, int edge)
    {
        if (!target) {
            m_field.set_cursor(edge);
            m_ports.speech.play_beep();
            return;
        }
        m_field.set_cursor(*target);
        m_ports.speech.play_click();
    }

    // Keys are spoken until none waits; the last one, a digit, is the new
    // speed level (0: the level of the settings). Any other key (Esc,
    // Enter, a letter that names no level) leaves the speed as it is.
    void change_speed()
    {
        m_ports.speech.play_sound("_VELOC");
        interpreter::KeyPress key;
        do {
            key = interpreter::read_key_and_speak(m_ports.terminal, m_ports.speech);
        } while (m_ports.terminal.key_waiting());
        if (!key.extended && key.code >= '0' && key.code <= '9')
            m_ports.speech.restart_speech(key.code - '0');
    }

    void copy_to_clipboard()
    {
        auto selection = m_field.selection();
        if (selection.empty()) {
            m_console.copy_to_clipboard(std::string(m_field.trimmed()) + "\r\n");
            return;
        }
        m_console.copy_to_clipboard(std::string_view(m_field.text()).substr(
            static_cast<size_t>(selection.start), static_cast<size_t>(selection.end - selection.start)));
    }

    void paste_from_clipboard()
    {
        if (!m_editable)
            return;
        auto pasted = m_console.paste_from_clipboard(static_cast<size_t>(m_field.length()) + 1);
        pasted.resize(std::min(pasted.size(), pasted.find_first_of("\r\n")));
        if (pasted.empty())
            return;
        auto selection = m_field.selection();
        if (m_first_key) {
            m_ports.speech.play_click();
            m_ports.speech.play_click();
            m_field.blank(0, m_field.length());
            selection = {};
        }
        int start = selection.empty() ? m_field.cursor() : selection.start;
        int end = selection.empty() ? m_field.cursor() : selection.end;
        m_field.replace(start, end, pasted);
        int pasted_end = std::min(start + static_cast<int>(pasted.size()), m_field.length());
        m_field.set_selection(start, pasted_end);
    }

    Runtime& m_runtime;
    Ports m_ports;
    Console& m_console;
    EditField m_field;
    std::string m_start_text;
    int m_column;
    int m_row;
    int m_width = 1;
    int m_first_shown = 0;
    bool m_editable;
    bool m_first_key = true;
};

}

uint8_t edit_line(Runtime& runtime, std::string& text, int column, int row, bool editable, int width, int max_length)
{
    LineEditor editor(runtime, text, column, row, editable, width, max_length);
    return editor.run(text);
}

}
