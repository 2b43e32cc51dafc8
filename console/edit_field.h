// SPDX-License-Identifier: GPL-3.0-or-later
// EditField: the line editor's text, cursor and selection, without screen or speech.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace console {

constexpr int max_edit_length = 2048;

// Characters that make up words: the ASCII letters and every byte above 127,
// which in Windows-1252 are mostly accented letters.
bool is_word_letter(char c);

// The part of the field that F1 speaks: a word, a number or one other
// character, with where it ends.
struct FieldItem {
    enum class Kind { Word, Number, Other };
    Kind kind = Kind::Other;
    std::string text;
    int end = 0;
};

// A selection, as the half-open range [start, end) of field positions.
struct FieldRange {
    int start = 0;
    int end = 0;
    bool empty() const { return start >= end; }
};

// The field always holds exactly `length` characters, padded with blanks, so
// that every edit keeps the place of the text after it on the screen. The
// cursor is a zero-based position from 0 to `length` (just past the end).
class EditField {
public:
    // The text is cut to `length` (capped at max_edit_length) and padded.
    EditField(std::string_view text, int length);

    const std::string& text() const { return m_text; }
    int length() const { return static_cast<int>(m_text.size()); }
    // The text without its trailing blanks.
    std::string_view trimmed() const;
    // The position just after the last character that is not a blank.
    int text_end() const;
    // True when something other than a blank stands at or after the cursor.
    bool has_text_from_cursor() const;

    int cursor() const { return m_cursor; }
    void set_cursor(int position);
    char at_cursor() const { return m_cursor < length() ? m_text[static_cast<size_t>(m_cursor)] : ' '; }

    // The selection: from its anchor to the cursor.
    void anchor_selection() { if (!m_anchor) m_anchor = m_cursor; }
    void set_selection(int start, int end);
    void clear_selection() { m_anchor.reset(); }
    FieldRange selection() const;

    // Inserts at the cursor and moves it on; false (nothing changed) when the
    // cursor is past the end or the last character is not a blank, since
    // the character pushed out would be lost.
    bool insert(char c);
    // Removes [start, end) and pads at the end; returns what was removed.
    std::string erase(int start, int end);
    // Blanks [start, end) in place.
    void blank(int start, int end);
    // Replaces [start, end) with `text`, cutting the result to the length.
    void replace(int start, int end, std::string_view text);
    void assign(std::string_view text);

    // Word moves: a word is a run of letters or a run of digits, and any
    // other character that is not a blank is a run of its own kind. Nothing
    // when there is no word to go to.
    std::optional<int> next_word_start(int from) const;
    std::optional<int> previous_word_start(int from) const;
    // The start of the run that holds `position` (itself on a blank).
    int word_start_at(int position) const;
    // The item at or after the cursor, blanks skipped; nothing at the end.
    std::optional<FieldItem> item_from_cursor() const;

private:
    int run_end(int position) const;

    std::string m_text;
    int m_cursor = 0;
    std::optional<int> m_anchor;
};

}
