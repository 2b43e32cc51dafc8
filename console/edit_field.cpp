// SPDX-License-Identifier: GPL-3.0-or-later
#include "console/edit_field.h"

#include "interpreter/text.h"

#include <algorithm>
#include <cstdint>

namespace console {

namespace {

enum class RunKind { Blank, Letter, Digit, Other };

RunKind run_kind(char c)
{
    if (c == ' ')
        return RunKind::Blank;
    if (is_word_letter(c))
        return RunKind::Letter;
    if (interpreter::is_digit(c))
        return RunKind::Digit;
    return RunKind::Other;
}

}

bool is_word_letter(char c)
{
    return interpreter::is_ascii_letter(c) || static_cast<uint8_t>(c) > 127;
}

EditField::EditField(std::string_view text, int length)
{
    length = std::clamp(length, 0, max_edit_length);
    m_text.assign(text.substr(0, static_cast<size_t>(length)));
    m_text.resize(static_cast<size_t>(length), ' ');
}

std::string_view EditField::trimmed() const
{
    return std::string_view(m_text).substr(0, static_cast<size_t>(text_end()));
}

int EditField::text_end() const
{
    int end = length();
    while (end > 0 && m_text[static_cast<size_t>(end - 1)] == ' ')
        --end;
    return end;
}

bool EditField::has_text_from_cursor() const
{
    return text_end() > m_cursor;
}

void EditField::set_cursor(int position)
{
    m_cursor = std::clamp(position, 0, length());
}

void EditField::set_selection(int start, int end)
{
    m_anchor = std::clamp(start, 0, length());
    set_cursor(end);
}

FieldRange EditField::selection() const
{
    if (!m_anchor)
        return {};
    return { std::min(*m_anchor, m_cursor), std::max(*m_anchor, m_cursor) };
}

bool EditField::insert(char c)
{
    if (m_cursor >= length() || m_text.back() != ' ')
        return false;
    m_text.insert(static_cast<size_t>(m_cursor), 1, c);
    m_text.pop_back();
    ++m_cursor;
    return true;
}

std::string EditField::erase(int start, int end)
{
    start = std::clamp(start, 0, length());
    end = std::clamp(end, start, length());
    std::string removed = m_text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    m_text.erase(static_cast<size_t>(start), removed.size());
    m_text.append(removed.size(), ' ');
    return removed;
}

void EditField::blank(int start, int end)
{
    start = std::clamp(start, 0, length());
    end = std::clamp(end, start, length());
    std::fill(m_text.begin() + start, m_text.begin() + end, ' ');
}

void EditField::replace(int start, int end, std::string_view text)
{
    size_t size = m_text.size();
    start = std::clamp(start, 0, length());
    end = std::clamp(end, start, length());
    m_text.replace(static_cast<size_t>(start), static_cast<size_t>(end - start), text);
    m_text.resize(size, ' ');
}

void EditField::assign(std::string_view text)
{
    size_t size = m_text.size();
    m_text.assign(text.substr(0, size));
    m_text.resize(size, ' ');
}

int EditField::run_end(int position) const
{
    RunKind kind = run_kind(m_text[static_cast<size_t>(position)]);
    while (position < length() && run_kind(m_text[static_cast<size_t>(position)]) == kind)
        ++position;
    return position;
}

std::optional<int> EditField::next_word_start(int from) const
{
    int position = from;
    if (position < length() && m_text[static_cast<size_t>(position)] != ' ')
        position = run_end(position);
    while (position < length() && m_text[static_cast<size_t>(position)] == ' ')
        ++position;
    if (position >= text_end())
        return std::nullopt;
    return position;
}

std::optional<int> EditField::previous_word_start(int from) const
{
    if (from <= 0)
        return std::nullopt;
    int position = std::min(from, length());
    while (position > 0 && m_text[static_cast<size_t>(position - 1)] == ' ')
        --position;
    if (position == 0)
        return 0;
    return word_start_at(position - 1);
}

int EditField::word_start_at(int position) const
{
    if (position >= length() || m_text[static_cast<size_t>(position)] == ' ')
        return position;
    RunKind kind = run_kind(m_text[static_cast<size_t>(position)]);
    while (position > 0 && run_kind(m_text[static_cast<size_t>(position - 1)]) == kind)
        --position;
    return position;
}

std::optional<FieldItem> EditField::item_from_cursor() const
{
    int start = m_cursor;
    while (start < length() && m_text[static_cast<size_t>(start)] == ' ')
        ++start;
    if (start >= length())
        return std::nullopt;
    auto at = [this](int position) { return position < length() ? m_text[static_cast<size_t>(position)] : ' '; };
    FieldItem item;
    int end = start + 1;
    char first = at(start);
    if (is_word_letter(first)) {
        item.kind = FieldItem::Kind::Word;
        end = run_end(start);
    } else if (interpreter::is_digit(first) || (first == '-' && interpreter::is_digit(at(start + 1)))) {
        item.kind = FieldItem::Kind::Number;
        while (interpreter::is_digit(at(end)))
            ++end;
    }
    item.text = m_text.substr(static_cast<size_t>(start), static_cast<size_t>(end - start));
    item.end = end;
    return item;
}

}
